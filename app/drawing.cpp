// CLaunchApp's drawing of buttons for the button window: every button of the current
// group, and one button raised or pressed, its image copied from the icon strip.
#include "app/launch_app.h"

#include "buttonbar/button_drawing.h"

namespace {

IntSize ButtonSize(const CLaunchApp& app)
{
    return {EffectiveButtonSize(app.m_nButtonWidth), EffectiveButtonSize(app.m_nButtonHeight)};
}

}  // namespace

BOOL CLaunchApp::DrawRaisedEdge(HDC hdc, int x, int y)
{
    DrawRaisedButtonEdge(hdc, x, y, ButtonSize(*this));
    return TRUE;
}

BOOL CLaunchApp::DrawPressedEdge(HDC hdc, int x, int y)
{
    DrawPressedButtonEdge(hdc, x, y, ButtonSize(*this));
    return TRUE;
}

BOOL CLaunchApp::DrawButtonOutline(HDC hdc, int x, int y)
{
    DrawButtonOutlineAt(hdc, x, y, ButtonSize(*this));
    return TRUE;
}

BOOL CLaunchApp::DrawButtonImage(HDC hdc, int x, int y, uint16_t nItem)
{
    fw::MemoryDC memory(hdc);
    if (!memory)
        return TRUE;
    fw::SelectGuard selectStrip(memory.get(), m_iconStrip.get());
    CopyCell(hdc, memory.get(), x, y, nItem);
    return TRUE;
}

void CLaunchApp::CopyCell(HDC hdc, HDC strip, int x, int y, int nItem) const
{
    const IntSize button = ButtonSize(*this);
    const long long cell = static_cast<long long>(nItem) * button.cx;
    // A cell the strip does not have (no strip, a failed build, or an item past the
    // strip's last cell) is not copied.
    if (!m_iconStrip || cell < 0 || cell + button.cx > m_sizeIconStrip.cx)
        return;
    const IntPoint at = DrawPoint({x, y}, 0, 0);
    BitBlt(hdc, at.x, at.y, button.cx, button.cy, strip, static_cast<int>(cell), 0, SRCCOPY);
}

BOOL CLaunchApp::PaintButtons(HDC hdc, const ButtonLayout* imagesOnly)
{
    // A cell the strip has no image for would keep the image that was there.
    if (imagesOnly && (!m_iconStrip || static_cast<long long>(m_group.ItemCount()) * ButtonSize(*this).cx >
                                           m_sizeIconStrip.cx))
        return FALSE;
    const ButtonLayout layout = imagesOnly ? *imagesOnly : Layout();
    // Logical (0, 0) becomes the grid's origin.
    const IntPoint offset = StripOffset(layout);
    SetWindowOrgEx(hdc, -offset.x, -offset.y, nullptr);
    fw::MemoryDC memory(hdc);
    if (!memory)
        return !imagesOnly;
    fw::SelectGuard selectStrip(memory.get(), m_iconStrip.get());
    // Only the cells that meet the area being painted, which lies within the screen: a
    // group of thousands of items costs a screenful of buttons, not all of them.
    RECT clip;
    const int region = GetClipBox(hdc, &clip);
    if (region == NULLREGION)
        return TRUE;
    if (region == ERROR)
        clip = {0, 0, kMaxExtent, kMaxExtent};
    const CellSpan span = CellsMeeting(layout, {clip.left, clip.top}, {clip.right, clip.bottom});
    const long long perRow = EffectiveMaxInLine(layout.maxInLine);
    for (int row = span.firstRow; row <= span.lastRow; ++row) {
        for (int column = span.firstColumn; column <= span.lastColumn; ++column) {
            const long long index = row * perRow + column;
            if (index >= layout.itemCount)
                break;
            const IntPoint at = CellImageOrigin(layout, static_cast<int>(index));
            if (!imagesOnly) {
                DrawRaisedEdge(hdc, at.x, at.y);
                DrawButtonOutline(hdc, at.x, at.y);
            }
            CopyCell(hdc, memory.get(), at.x, at.y, static_cast<int>(index));
        }
    }
    return TRUE;
}
