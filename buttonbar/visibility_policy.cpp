#include "buttonbar/visibility_policy.h"

#include "app/modes.h"

#include <algorithm>

namespace {

bool OnOtherMonitor(int x, int y, const OtherMonitors& others)
{
    for (int i = 0; i < others.count && i < OtherMonitors::kMax; ++i) {
        const IntRect& r = others.rects[i];
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom)
            return true;
    }
    return false;
}

// The edges of the primary that the cursor is on and that end the pointer's way there.
struct EdgesAt {
    bool side = false;       // left or right
    bool topBottom = false;  // top or bottom
};

EdgesAt EdgesOf(IntPoint cursor, IntSize screen, const OtherMonitors& others)
{
    EdgesAt at;
    const int x = cursor.x, y = cursor.y;
    // On the primary, one step beyond any of its edges stays within int.
    if (x < 0 || y < 0 || x >= screen.cx || y >= screen.cy)
        return at;
    at.side = (x == 0 && !OnOtherMonitor(x - 1, y, others)) ||
              (x == screen.cx - 1 && !OnOtherMonitor(x + 1, y, others));
    at.topBottom = (y == 0 && !OnOtherMonitor(x, y - 1, others)) ||
                   (y == screen.cy - 1 && !OnOtherMonitor(x, y + 1, others));
    return at;
}

}  // namespace

bool OnScreenEdge(IntPoint cursor, IntSize screen, const OtherMonitors& otherMonitors)
{
    const EdgesAt at = EdgesOf(cursor, screen, otherMonitors);
    return at.side || at.topBottom;
}

bool OnWindow(IntPoint cursor, const IntRect& window)
{
    const int64_t right = int64_t{window.right} + kWindowSlack, bottom = int64_t{window.bottom} + kWindowSlack;
    return cursor.x >= window.left && cursor.x < right && cursor.y >= window.top && cursor.y < bottom;
}

int GroupAtEdge(IntPoint cursor, IntSize screen, int groupCount, const OtherMonitors& otherMonitors)
{
    if (groupCount <= 0)
        return -1;
    const int64_t n = groupCount;
    int64_t g = 0;
    // Top and bottom edges by x; the sides, corners included, by y. A corner whose side
    // another monitor continues belongs to the top or bottom edge alone. A one-pixel
    // screen has no span to divide.
    const EdgesAt at = EdgesOf(cursor, screen, otherMonitors);
    const bool byX = (cursor.x > 0 && cursor.x < screen.cx - 1) || (at.topBottom && !at.side);
    if (byX && screen.cx > 1)
        g = int64_t{cursor.x} * n / (int64_t{screen.cx} - 1);
    else if (screen.cy > 1)
        g = int64_t{cursor.y} * n / (int64_t{screen.cy} - 1);
    return static_cast<int>(std::clamp<int64_t>(g, 0, n - 1));
}

IntRect MoveInside(const IntRect& rect, const IntRect& workArea)
{
    // No screen comes near kMaxExtent pixels: a size from an edited file stops there, so
    // nothing below can wrap.
    auto extent = [](int low, int high) {
        return static_cast<int>(std::clamp<int64_t>(int64_t{high} - low, 0, kMaxExtent));
    };
    auto place = [](int at, int size, int low, int high) { return std::max(low, std::min(at, high - size)); };
    const int width = extent(rect.left, rect.right), height = extent(rect.top, rect.bottom);
    const int left = place(rect.left, width, workArea.left, workArea.right);
    const int top = place(rect.top, height, workArea.top, workArea.bottom);
    return {left, top, left + width, top + height};
}

namespace {

bool SaverCheckDue(bool stopSaver, uint32_t saverTicks)
{
    return stopSaver && saverTicks >= kSaverCheckTicks;
}

}  // namespace

bool TimerNeedsCursor(int popupMode, bool menuOpen, bool stopSaver, uint32_t saverTicks)
{
    return SaverCheckDue(stopSaver, saverTicks) || !(popupMode == POPUP_FIXED || menuOpen);
}

TimerDecision DecideTimer(const TimerInput& in)
{
    TimerDecision out;
    out.edgeTicks = in.edgeTicks;
    if (SaverCheckDue(in.stopSaver, in.saverTicks)) {
        out.saver = OnWindow(in.cursor, in.window) ? SaverAction::Refresh : SaverAction::HideTitle;
        out.saverTicks = 0;
    } else {
        out.saverTicks = in.saverTicks + 1;
    }

    if (in.popupMode == POPUP_FIXED || in.menuOpen) {
        if (in.hotKeys)
            out.window = WindowAction::Activate;
        return out;
    }

    const OtherMonitors none;
    const OtherMonitors& others = in.otherMonitors ? *in.otherMonitors : none;
    const bool onEdge = OnScreenEdge(in.cursor, in.screen, others);
    const bool popUpCheck = !(in.shown && !in.hotKeys) && (onEdge || in.hotKeys);
    if (!popUpCheck) {
        out.edgeTicks = 0;
        if (!OnWindow(in.cursor, in.window))
            out.window = WindowAction::Hide;
        return out;
    }

    if (in.edgeTicks < kEdgeRestTicks && !in.hotKeys) {
        out.edgeTicks = in.edgeTicks + 1;
        return out;
    }
    out.edgeTicks = 0;
    out.window = WindowAction::Show;
    out.activate = in.hotKeys;
    if (in.popupMode == POPUP_GROUPUP && onEdge) {
        const int g = GroupAtEdge(in.cursor, in.screen, in.groupCount, others);
        if (g >= 0 && g != in.group)
            out.group = g;
    }
    const IntSize size = {in.window.right - in.window.left, in.window.bottom - in.window.top};
    out.topLeft = PopupPositionAtCursor(in.cursor, size, in.screen);
    return out;
}
