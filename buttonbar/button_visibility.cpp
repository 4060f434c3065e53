// The button window's timer (the screen-saver hold-off, the hot keys, hiding and popping
// up) and the bookkeeping of its own rectangle. What to do is decided by the pure policy;
// this file reads the platform and carries the decision out.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "buttonbar/visibility_policy.h"

#include <windows.h>

namespace {

// The bar is usually in the background, hidden even, and gets no keyboard input, so the
// thread's own key state (GetKeyState) would never see Shift, Ctrl and Alt go down: the
// keys are read as they are now, wherever the input goes.
bool HotKeysDown()
{
    return (GetAsyncKeyState(VK_SHIFT) & 0x8000) && (GetAsyncKeyState(VK_CONTROL) & 0x8000) &&
           (GetAsyncKeyState(VK_MENU) & 0x8000);
}

IntRect WindowRectOf(HWND hWnd)
{
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(hWnd, &rc);
    return {rc.left, rc.top, rc.right, rc.bottom};
}

BOOL CALLBACK AddOtherMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM param)
{
    MONITORINFO info;
    info.cbSize = sizeof info;
    auto* others = reinterpret_cast<OtherMonitors*>(param);
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY)) {
        const RECT& r = info.rcMonitor;
        others->rects[others->count++] = {r.left, r.top, r.right, r.bottom};
    }
    return others->count < OtherMonitors::kMax;
}

}  // namespace

void CButtonBarWnd::ReadMonitorLayout()
{
    m_screen = {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    m_otherMonitors.count = 0;
    EnumDisplayMonitors(nullptr, nullptr, AddOtherMonitor, reinterpret_cast<LPARAM>(&m_otherMonitors));
}

void CButtonBarWnd::OnTimer(UINT_PTR)
{
    CLaunchApp* app = LaunchApp();
    if (!app || !m_hWnd)
        return;
    TimerInput in;
    in.popupMode = app->m_nPopup;
    in.menuOpen = m_bMenuOpen != 0;
    in.stopSaver = app->m_bStopSaver == 1;
    in.saverTicks = m_nSaverTicks;
    if (TimerNeedsCursor(in.popupMode, in.menuOpen, in.stopSaver, in.saverTicks)) {
        // Where the cursor was when the timer message was taken: the platform notes it with
        // every message, whereas GetCursorPos may ask the display server afresh, which is
        // most of what an idle tick would cost.
        const POINT cursor = fw::PointFromLParam(static_cast<LPARAM>(GetMessagePos()));
        in.cursor = {cursor.x, cursor.y};
        in.window = WindowRectOf(m_hWnd);
    }
    in.screen = m_screen;
    in.otherMonitors = &m_otherMonitors;
    in.hotKeys = HotKeysDown();
    in.shown = app->m_nCmdShow != SW_HIDE;
    in.edgeTicks = m_nEdgeTicks;
    in.groupCount = static_cast<int>(app->m_groupSources.size());
    in.group = app->m_nGroup;
    const TimerDecision decision = DecideTimer(in);
    m_nSaverTicks = decision.saverTicks;
    m_nEdgeTicks = decision.edgeTicks;

    if (decision.saver == SaverAction::Refresh) {
        // Setting the time-out again restarts the system's idle count.
        UINT timeout = 0;
        if (SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0))
            SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, timeout, nullptr, 0);
    } else if (decision.saver == SaverAction::HideTitle) {
        HideTitlePopup();
    }

    switch (decision.window) {
    case WindowAction::None:
        break;
    case WindowAction::Activate:
        SetActiveWindow(m_hWnd);
        break;
    case WindowAction::Hide:
        HideTitlePopup();
        app->m_nCmdShow = SW_HIDE;
        ShowWindow(m_hWnd, SW_HIDE);
        break;
    case WindowAction::Show: {
        IntPoint topLeft = decision.topLeft;
        if (decision.group >= 0) {
            app->m_nGroup = decision.group;
            RebuildButtons();
            // The new group's window has a size of its own.
            const IntRect rc = WindowRectOf(m_hWnd);
            topLeft = PopupPositionAtCursor(in.cursor, IntSize{rc.right - rc.left, rc.bottom - rc.top}, in.screen);
        }
        app->m_nCmdShow = decision.activate ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
        // A popped-up bar is always topmost, whatever "TopMost" says.
        SetWindowPos(m_hWnd, HWND_TOPMOST, topLeft.x, topLeft.y, 0, 0,
                     decision.activate ? SWP_NOSIZE : SWP_NOSIZE | SWP_NOACTIVATE);
        ShowWindow(m_hWnd, app->m_nCmdShow);
        break;
    }
    }
}

void CButtonBarWnd::OnKillFocus(HWND)
{
    HideTitlePopup();
}

void CButtonBarWnd::OnMove(int, int)
{
    // Only a normal rectangle is kept: it is saved as the bar's place for the next start.
    CLaunchApp* app = LaunchApp();
    if (app && !IsIconic(m_hWnd) && !IsZoomed(m_hWnd))
        GetWindowRect(m_hWnd, &app->m_rcWindow);
}

void CButtonBarWnd::OnSize(UINT nType, int, int)
{
    CLaunchApp* app = LaunchApp();
    if (app && nType != SIZE_MAXIMIZED && nType != SIZE_MINIMIZED)
        GetWindowRect(m_hWnd, &app->m_rcWindow);
}
