#include "buttonbar/visibility_policy.h"

#include "app/modes.h"

#include <algorithm>

bool OnScreenEdge(IntPoint cursor, IntSize screen)
{
    return cursor.x <= 0 || cursor.y <= 0 || cursor.x >= screen.cx - 1 || cursor.y >= screen.cy - 1;
}

bool OnWindow(IntPoint cursor, const IntRect& window)
{
    const int64_t right = int64_t{window.right} + kWindowSlack, bottom = int64_t{window.bottom} + kWindowSlack;
    return cursor.x >= window.left && cursor.x < right && cursor.y >= window.top && cursor.y < bottom;
}

int GroupAtEdge(IntPoint cursor, IntSize screen, int groupCount)
{
    if (groupCount <= 0)
        return -1;
    const int64_t n = groupCount;
    int64_t g = 0;
    // Top and bottom edges by x; the sides, corners included, by y. A one-pixel screen
    // has no span to divide.
    if (cursor.x > 0 && cursor.x < screen.cx - 1)
        g = int64_t{cursor.x} * n / (int64_t{screen.cx} - 1);
    else if (screen.cy > 1)
        g = int64_t{cursor.y} * n / (int64_t{screen.cy} - 1);
    return static_cast<int>(std::clamp<int64_t>(g, 0, n - 1));
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

    const bool popUpCheck = !(in.shown && !in.hotKeys) && (OnScreenEdge(in.cursor, in.screen) || in.hotKeys);
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
    if (in.popupMode == POPUP_GROUPUP && OnScreenEdge(in.cursor, in.screen)) {
        const int g = GroupAtEdge(in.cursor, in.screen, in.groupCount);
        if (g >= 0 && g != in.group)
            out.group = g;
    }
    const IntSize size = {in.window.right - in.window.left, in.window.bottom - in.window.top};
    out.topLeft = PopupPositionAtCursor(in.cursor, size, in.screen);
    return out;
}
