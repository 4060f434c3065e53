#include "buttonbar/geometry.h"

#include "app/modes.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int64_t kMaxPressedIndex = 0xFFFF;  // m_nPressedItem has 16 bits

using Wide = int64_t;

int ClampToInt(Wide v)
{
    return static_cast<int>(std::clamp<Wide>(v, INT_MIN, INT_MAX));
}

int ClampToExtent(Wide v)
{
    return static_cast<int>(std::clamp<Wide>(v, 0, kMaxExtent));
}

// The layout as the arithmetic uses it, in 64 bits.
struct Grid {
    Wide pitchX;
    Wide pitchY;
    Wide perRow;   // M
    Wide count;    // n
    Wide columns;  // min(M, n)

    explicit Grid(const ButtonLayout& layout)
        : pitchX(Wide{EffectiveButtonSize(layout.buttonWidth)} + kCellMargin),
          pitchY(Wide{EffectiveButtonSize(layout.buttonHeight)} + kCellMargin),
          perRow(EffectiveMaxInLine(layout.maxInLine)),
          count(std::max(layout.itemCount, 0)),
          columns(std::min(perRow, count))
    {
    }
};

// Start of the pitch-wide span that holds v, also for v < 0.
Wide SpanStart(Wide v, Wide pitch)
{
    Wide rest = v % pitch;
    if (rest < 0)
        rest += pitch;
    return v - rest;
}

}  // namespace

int EffectiveButtonSize(int size)
{
    return std::clamp(size, 0, kMaxExtent);
}

int EffectiveMaxInLine(int maxInLine)
{
    return std::max(maxInLine, 1);
}

IntSize CellPitch(const ButtonLayout& layout)
{
    const Grid grid(layout);
    return {static_cast<int>(grid.pitchX), static_cast<int>(grid.pitchY)};
}

int StripThickness(int captionHeight)
{
    return ClampToExtent(Wide{captionHeight} + 1);
}

IntPoint StripOffset(int titleMode, int thickness)
{
    if (titleMode == TITLE_VERTICAL)
        return {thickness, 0};
    if (titleMode == TITLE_HORIZONTAL)
        return {0, thickness};
    return {0, 0};
}

IntPoint StripOffset(const ButtonLayout& layout)
{
    return StripOffset(layout.titleMode, StripThickness(layout.captionHeight));
}

IntSize WindowSize(const ButtonLayout& layout)
{
    const Grid grid(layout);
    const IntPoint strip = StripOffset(layout);
    // An empty group still shows one empty cell, whatever M is.
    const Wide columns = grid.count == 0 ? 1 : grid.columns;
    const Wide rows = grid.count == 0 ? 1 : (grid.count - 1) / grid.perRow + 1;
    // 2: the 1-pixel border on each side.
    return {ClampToExtent(grid.pitchX * columns + 2 + strip.x), ClampToExtent(grid.pitchY * rows + 2 + strip.y)};
}

ButtonAtPoint HitTestButton(const ButtonLayout& layout, IntPoint offset, IntPoint client)
{
    const Grid grid(layout);
    const Wide gx = Wide{client.x} - offset.x;
    const Wide gy = Wide{client.y} - offset.y;
    if (gx < 0 || gx >= grid.columns * grid.pitchX || gy < 0 || gy >= (grid.count / grid.perRow + 1) * grid.pitchY)
        return {};
    const Wide column = gx / grid.pitchX;
    const Wide row = gy / grid.pitchY;
    const Wide index = row * grid.perRow + column;
    if (index > grid.count - 1)
        return {};
    return {true, static_cast<int>(index), static_cast<int>(column), static_cast<int>(row)};
}

PressedButton PressedButtonAt(const ButtonLayout& layout, IntPoint offset, IntPoint client)
{
    const Grid grid(layout);
    const Wide gx = Wide{client.x} - offset.x;
    const Wide gy = Wide{client.y} - offset.y;
    // Division truncates toward zero, so a point just left of or above the grid would
    // otherwise count as column or row 0 and press a button it is not on.
    if (gx < 0 || gy < 0)
        return {};
    const Wide column = gx / grid.pitchX;
    if (column > grid.columns - 1)
        return {};
    const Wide index = (gy / grid.pitchY) * grid.perRow + column;
    if (index > grid.count - 1 || index > kMaxPressedIndex)
        return {};
    return {true, static_cast<uint16_t>(index)};
}

ButtonAtPoint ArrowKeyStartButton(const ButtonLayout& layout, IntPoint offset, IntPoint client, IntSize clientSize)
{
    if (client.x < offset.x || client.x >= clientSize.cx || client.y < offset.y || client.y >= clientSize.cy)
        return {};
    const Grid grid(layout);
    const Wide column = (Wide{client.x} - offset.x) / grid.pitchX;
    const Wide row = (Wide{client.y} - offset.y) / grid.pitchY;
    // A client area wider than the grid must not offer a column the grid lacks: the
    // keys would step from there and move the pointer off the window.
    if (column > grid.columns - 1)
        return {};
    // The keys step in 16 bits as well.
    const Wide index = row * grid.perRow + column;
    if (index > grid.count - 1 || index > kMaxPressedIndex)
        return {};
    return {true, static_cast<int>(index), static_cast<int>(column), static_cast<int>(row)};
}

IntPoint ImageOrigin(const ButtonLayout& layout, IntPoint grid)
{
    const Grid g(layout);
    return {ClampToInt(SpanStart(grid.x, g.pitchX) + kImageInset), ClampToInt(SpanStart(grid.y, g.pitchY) + kImageInset)};
}

IntPoint CellImageOrigin(const ButtonLayout& layout, int index)
{
    const Grid grid(layout);
    const Wide row = SpanStart(index, grid.perRow) / grid.perRow;
    const Wide column = index - row * grid.perRow;
    return {ClampToInt(grid.pitchX * column + kImageInset), ClampToInt(grid.pitchY * row + kImageInset)};
}

CellSpan CellsMeeting(const ButtonLayout& layout, IntPoint from, IntPoint to)
{
    const Grid grid(layout);
    if (grid.count == 0 || to.x <= from.x || to.y <= from.y)
        return {};
    const Wide rows = (grid.count - 1) / grid.perRow + 1;
    // Floor division, so that a rectangle reaching left of or above the grid starts at 0.
    auto cellOf = [](Wide v, Wide pitch) { return SpanStart(v, pitch) / pitch; };
    CellSpan span;
    span.firstColumn = static_cast<int>(std::max<Wide>(cellOf(from.x, grid.pitchX), 0));
    span.lastColumn = static_cast<int>(std::min(cellOf(Wide{to.x} - 1, grid.pitchX), grid.columns - 1));
    span.firstRow = static_cast<int>(std::max<Wide>(cellOf(from.y, grid.pitchY), 0));
    span.lastRow = static_cast<int>(std::min(cellOf(Wide{to.y} - 1, grid.pitchY), rows - 1));
    if (span.Empty())
        return {};
    return span;
}

int IconStripCells(const ButtonLayout& layout)
{
    const int W = EffectiveButtonSize(layout.buttonWidth);
    const int n = std::max(layout.itemCount, 0);
    return W == 0 ? n : std::min(n, kMaxExtent / W);
}

IntPoint DrawPoint(IntPoint origin, int dx, int dy)
{
    auto keep = [](Wide v) { return static_cast<int>(std::clamp<Wide>(v, -kMaxDrawCoordinate, kMaxDrawCoordinate)); };
    return {keep(Wide{origin.x} + dx), keep(Wide{origin.y} + dy)};
}

FixedPlacement FixedPosition(int positionCode, IntSize window, IntSize screen)
{
    const Wide w = window.cx, h = window.cy, S = screen.cx, T = screen.cy;
    Wide left = 0, top = 0;
    switch (positionCode) {
    case POSITION_FREE:
        return {};
    case POSITION_TOP_LEFT:
        break;
    case POSITION_TOP_CENTRE:
        left = S / 2 - w / 2;
        break;
    case POSITION_TOP_RIGHT:
        left = S - w;
        break;
    case POSITION_BOTTOM_LEFT:
        top = T - h;
        break;
    case POSITION_BOTTOM_CENTRE:
        left = S / 2 - w / 2;
        top = T - h;
        break;
    case POSITION_BOTTOM_RIGHT:
        left = S - w;
        top = T - h;
        break;
    default:  // an unknown code from an edited settings file: top left
        break;
    }
    return {true, {ClampToInt(left), ClampToInt(top)}};
}

IntPoint CentredOnCursor(IntPoint cursor, IntSize window, IntSize screen)
{
    const Wide cx = window.cx, cy = window.cy, S = screen.cx, T = screen.cy;
    Wide left = Wide{cursor.x} - cx / 2;
    Wide top = Wide{cursor.y} - cy / 2;
    if (left + cx > S)
        left = S - cx;
    if (left < 0)
        left = 0;
    if (top + cy > T)
        top = T - cy;
    if (top < 0)
        top = 0;
    return {ClampToInt(left), ClampToInt(top)};
}

IntPoint PopupPositionAtCursor(IntPoint cursor, IntSize window, IntSize screen)
{
    const Wide w = window.cx, h = window.cy, S = screen.cx, T = screen.cy;
    Wide left = Wide{cursor.x} - w / 2;
    Wide top = Wide{cursor.y} - h / 2;
    if (left < 0)
        left = 0;
    else if (left > S - 1 - w)
        left = S - w;
    if (top < 0)
        top = 0;
    else if (top > T - 1 - h)
        top = T - h;
    return {ClampToInt(left), ClampToInt(top)};
}
