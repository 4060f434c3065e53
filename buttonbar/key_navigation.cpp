#include "buttonbar/key_navigation.h"

#include <algorithm>
#include <climits>
#include <string>

namespace {

using Wide = int64_t;

int ClampToInt(Wide v)
{
    return static_cast<int>(std::clamp<Wide>(v, INT_MIN, INT_MAX));
}

struct Pitch {
    Wide x;
    Wide y;
    explicit Pitch(const ButtonLayout& layout)
        : x(Wide{EffectiveButtonSize(layout.buttonWidth)} + kCellMargin),
          y(Wide{EffectiveButtonSize(layout.buttonHeight)} + kCellMargin)
    {
    }
};

IntPoint CellCentre(const ButtonLayout& layout, Wide column, Wide row)
{
    const Pitch pitch(layout);
    return {ClampToInt(column * pitch.x + pitch.x / 2), ClampToInt(row * pitch.y + pitch.y / 2)};
}

// The last index whose centre still lies within `extent` along one axis (or -1).
Wide LastCellWithin(Wide extent, Wide pitch)
{
    return extent < pitch / 2 ? -1 : (extent - pitch / 2) / pitch;
}

}  // namespace

IntPoint HomeCellCentre(const ButtonLayout& layout)
{
    return CellCentre(layout, 0, 0);
}

IntPoint EndCellCentre(const ButtonLayout& layout)
{
    const Wide n = std::max(layout.itemCount, 0);
    const Wide m = EffectiveMaxInLine(layout.maxInLine);
    if (n == 0)
        return CellCentre(layout, 0, 0);
    const Wide column = n % m == 0 ? m - 1 : n % m - 1;
    return CellCentre(layout, column, (n - 1) / m);
}

// Stepping one cell at a time and repeating while the cell is empty comes to the same
// as the closed forms below, because items fill each row from the left and each column
// from the top; the closed forms also stay fast for any "Max" the settings may hold.
IntPoint ArrowKeyTarget(const ButtonLayout& layout, const ButtonAtPoint& start, ArrowKey key, IntSize gridArea)
{
    const Pitch pitch(layout);
    const Wide n = std::max(layout.itemCount, 0);
    const Wide m = EffectiveMaxInLine(layout.maxInLine);
    const Wide column = start.column, row = start.row;
    const auto exists = [&](Wide c, Wide r) { return c >= 0 && r >= 0 && c < m && r * m + c < n; };
    Wide c = column, r = row;
    switch (key) {
    case ArrowKey::Right:
        c = column + 1;
        if (LastCellWithin(gridArea.cx, pitch.x) < c || !exists(c, row))
            c = 0;
        break;
    case ArrowKey::Down:
        r = row + 1;
        if (LastCellWithin(gridArea.cy, pitch.y) < r || !exists(column, r))
            r = 0;
        break;
    case ArrowKey::Left:
        if (column > 0) {
            c = column - 1;
        } else {
            // Wrapped to the last column's centre as M x pitch - pitch / 2, then back to
            // the row's last item; an odd pitch puts that a pixel right of the centre.
            c = std::min(m - 1, n - 1 - row * m);
            const IntPoint centre = CellCentre(layout, c, r);
            return {ClampToInt(m * pitch.x - pitch.x / 2 - (m - 1 - c) * pitch.x), centre.y};
        }
        break;
    case ArrowKey::Up:
        if (row > 0) {
            r = row - 1;
        } else {
            // Wrapped to the area's bottom less half a pitch, then up to the lowest row
            // with an item in this column.
            const Wide bottom = LastCellWithin(gridArea.cy, pitch.y);
            r = std::max<Wide>(0, std::min(bottom, (n - 1 - column) / m));
            const IntPoint centre = CellCentre(layout, c, r);
            if (bottom < 0)
                return centre;
            return {centre.x, ClampToInt(Wide{gridArea.cy} - pitch.y / 2 - (bottom - r) * pitch.y)};
        }
        break;
    }
    return CellCentre(layout, c, r);
}

int PreviousGroup(int current, size_t count)
{
    if (count == 0)
        return -1;
    const Wide last = static_cast<Wide>(std::min<size_t>(count, INT_MAX)) - 1;
    return current > 0 && current - 1 <= last ? current - 1 : static_cast<int>(last);
}

int NextGroup(int current, size_t count)
{
    if (count == 0)
        return -1;
    const Wide next = Wide{current} + 1;
    return next > 0 && static_cast<size_t>(next) < count ? static_cast<int>(next) : 0;
}

std::string GroupMenuLabel(unsigned number, const std::string& name)
{
    // At least two places, a blank before a single digit.
    std::string label = std::to_string(number);
    if (label.size() < 2)
        label.insert(0, 1, ' ');
    // The mnemonic goes before the last digit; numbers of three digits keep all three.
    label.insert(label.size() - 1, 1, '&');
    label += ':';
    for (char ch : name) {
        label += ch;
        if (ch == '&')
            label += '&';
    }
    return label;
}

MenuFilterDecision FilterMenuMessage(unsigned message, uint16_t phase, uint32_t msSinceOpened)
{
    switch (message) {
    case kMsgMouseMove:
        // The first movement stands for the release of the button that opened the menu,
        // at the opening point; a later one, once the menu has settled, presses the
        // left button so that the right button held down drags through the entries.
        if (phase == 0)
            return {kMsgLButtonUp, true, 1};
        if (phase == 1 && msSinceOpened >= kMenuDragDelayMs)
            return {kMsgLButtonDown, false, 2};
        return {message, false, phase};
    case kMsgRButtonDown:
        return {kMsgLButtonDown, false, phase};
    case kMsgRButtonUp:
        return {kMsgLButtonUp, false, 2};
    default:
        return {message, false, phase};
    }
}
