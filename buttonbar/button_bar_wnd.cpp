#include "buttonbar/button_bar_wnd.h"

#include "app/launch_app.h"
#include "resource.h"

using fw::PointFromLParam;

CButtonBarWnd::CButtonBarWnd()
{
    CLaunchApp* app = LaunchApp();
    fw::WaitCursor wait;

    // Fixed windows show at start; the popup modes wait for the cursor.
    app->m_nCmdShow = app->m_nPopup == POPUP_FIXED ? SW_SHOWNORMAL : SW_HIDE;

    std::string className = RegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW), app->m_hbrBackground,
                                             LoadIconA(app->m_hInstance, MAKEINTRESOURCEA(IDI_QUILLBAR)));
    // Failures are not checked: without a window or timer the object stays, inert.
    // Files may be dropped on it: the style DragAcceptFiles would set, without loading the
    // shell library at start-up for it. A window that is to stay on top is made so at once:
    // restacking it afterwards costs the start-up several milliseconds more.
    const DWORD exStyle = WS_EX_ACCEPTFILES | (app->m_bTopMost ? WS_EX_TOPMOST : 0);
    CreateEx(exStyle, className, app->LoadResString(IDS_BUTTONWND_TITLE), WS_POPUP | WS_BORDER,
             app->m_rcWindow, nullptr, nullptr);
    if (m_hWnd)
        m_nTimer = SetTimer(m_hWnd, kTimerId, kTimerInterval, nullptr);
    ReadMonitorLayout();
}

CButtonBarWnd::~CButtonBarWnd()
{
    HideTitlePopup();
    if (m_nTimer) {
        if (m_hWnd)
            KillTimer(m_hWnd, m_nTimer);
        m_nTimer = 0;
    }
}

void CButtonBarWnd::PostNcDestroy()
{
    // The window owns its object, as frame windows do; the application must not keep a stale pointer.
    CLaunchApp* app = LaunchApp();
    if (app && app->m_pButtonWnd == this)
        app->m_pButtonWnd = nullptr;
    delete this;
}

LRESULT CButtonBarWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONUP:
        LaunchItem(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_NCHITTEST:
        return OnNcHitTest(PointFromLParam(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_ENDSESSION:
        OnEndSession(static_cast<BOOL>(wParam));
        return 0;
    case WM_MOVE: {
        const POINT at = PointFromLParam(lParam);
        OnMove(at.x, at.y);
        return 0;
    }
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DROPFILES:
        LaunchWithFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_NCLBUTTONDOWN:
        OnNcLButtonDown(static_cast<UINT>(wParam), PointFromLParam(lParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_QUERYOPEN:
        return OnQueryOpen();
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SYSKEYUP:
        OnSysKeyUp(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DISPLAYCHANGE:
        ReadMonitorLayout();
        return Default();
    default:
        return Default();
    }
}

void CButtonBarWnd::OnDestroy()
{
    // The popup's window went with the bar's; its object goes now.
    HideTitlePopup();
    // The bar going away ends the launcher; the settings are saved first.
    if (CLaunchApp* app = LaunchApp())
        app->SaveSettings();
    fw::Application::Quit(0);
}

void CButtonBarWnd::OnEndSession(BOOL)
{
    // Whether or not the session really ends, this may be the last chance to save.
    if (CLaunchApp* app = LaunchApp())
        app->SaveSettings();
    Default();
}

BOOL CButtonBarWnd::OnQueryOpen()
{
    // The bar is never restored from an icon.
    return FALSE;
}
