#include "buttonbar/title_placement.h"

#include "app/modes.h"

#include <algorithm>
#include <climits>

namespace {

int ClampToInt(int64_t v)
{
    return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX));
}

// A popup that would reach below the screen goes up until it ends at the bottom, but
// never above the top: a screen lower than the popup shows its top part.
int64_t KeepAboveBottom(int64_t y, int64_t height, const IntRect& screen)
{
    if (y + height > screen.bottom)
        y = int64_t{screen.bottom} - height;
    return std::max<int64_t>(y, screen.top);
}

}  // namespace

TitleHit DecideTitleHit(const ButtonLayout& layout, IntPoint client, bool inEffect, TitleKind shown, int shownItem)
{
    const IntPoint offset = StripOffset(layout);
    const ButtonAtPoint button = HitTestButton(layout, offset, client);
    TitleHit hit;
    if (button.isButton) {
        if (inEffect && !(shown == TitleKind::Item && shownItem == button.index)) {
            hit.action = TitleAction::ShowItem;
            hit.button = button;
        }
        return hit;
    }
    const int64_t gx = int64_t{client.x} - offset.x, gy = int64_t{client.y} - offset.y;
    const bool vertical = layout.titleMode == TITLE_VERTICAL;
    if (!inEffect) {
        hit.caption = gy < 0 || (gx < 0 && vertical);
        return hit;
    }
    if ((gx >= 0 && gy >= 0) || (gx < 0 && gy >= 0 && layout.titleMode == TITLE_HORIZONTAL) ||
        (gx >= 0 && gy < 0 && vertical)) {
        hit.action = TitleAction::Hide;
        return hit;
    }
    hit.caption = true;
    if (shown != TitleKind::Group)
        hit.action = TitleAction::ShowGroup;
    return hit;
}

IntSize TitlePopupSize(IntSize text)
{
    return {ClampToInt(std::clamp<int64_t>(int64_t{text.cx} + kTitlePopupMargin, 0, kMaxExtent)),
            ClampToInt(std::clamp<int64_t>(int64_t{text.cy} + kTitlePopupMargin, 0, kMaxExtent))};
}

IntPoint ItemTitlePosition(const ButtonLayout& layout, IntPoint clientOrigin, const ButtonAtPoint& button,
                           IntSize popup, const IntRect& screen)
{
    const IntSize pitch = CellPitch(layout);
    const IntPoint offset = StripOffset(layout);
    int64_t x = int64_t{clientOrigin.x} + int64_t{button.column} * pitch.cx + offset.x - 1;
    int64_t y = int64_t{clientOrigin.y} + int64_t{button.row} * pitch.cy + offset.y - popup.cy;
    if (x < screen.left)
        x = screen.left;
    if (y < screen.top)
        y += int64_t{pitch.cy} + popup.cy;  // below the cell instead
    if (x + popup.cx > screen.right)
        x = int64_t{screen.right} - popup.cx;
    x = std::max<int64_t>(x, screen.left);
    y = KeepAboveBottom(y, popup.cy, screen);
    return {ClampToInt(x), ClampToInt(y)};
}

IntPoint GroupTitlePosition(const ButtonLayout& layout, IntPoint clientOrigin, int windowBottom, IntSize popup,
                            const IntRect& screen)
{
    const IntPoint offset = StripOffset(layout);
    const bool vertical = layout.titleMode == TITLE_VERTICAL;
    int64_t x = int64_t{clientOrigin.x} + (vertical ? offset.x + 1 : -1);
    int64_t y = int64_t{clientOrigin.y} - popup.cy - (vertical ? 0 : 1);
    if (x < screen.left || y < screen.top) {
        // Just below the window, at the client area's left edge, wherever the window's top
        // is: the window's bottom is a screen coordinate and is not offset again.
        x = clientOrigin.x;
        y = windowBottom;
    }
    if (x + popup.cx > screen.right) {
        if (vertical)
            x -= int64_t{offset.x} + popup.cx + 1;  // to the left of the window
        else
            x = int64_t{screen.right} - popup.cx;
    }
    x = std::max<int64_t>(x, screen.left);
    y = KeepAboveBottom(y, popup.cy, screen);
    return {ClampToInt(x), ClampToInt(y)};
}
