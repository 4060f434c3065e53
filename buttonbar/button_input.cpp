// Input of the button window: pressing a button, the group menu that the right button
// or Alt opens (with the message filter that lets the right button work inside it),
// and the keys. What a release starts is the launcher's business; what the menu's
// commands do is the command handler's.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "buttonbar/key_navigation.h"
#include "resource.h"

#include <windows.h>

namespace {

bool KeyDown(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

}  // namespace

void CButtonBarWnd::MoveCursorToButton(int x, int y)
{
    POINT point = {x, y};
    ClientToScreen(m_hWnd, &point);
    SetCursorPos(point.x, point.y);
}

void CButtonBarWnd::DrawPressedButton(bool pressed)
{
    CLaunchApp* app = LaunchApp();
    fw::WindowDC dc(m_hWnd);
    if (!app || !dc)
        return;
    if (pressed) {
        // The image moves 2 pixels down and right, as if pushed in.
        app->DrawButtonImage(dc.get(), m_ptPressed.x + 2, m_ptPressed.y + 2, m_nPressedItem);
        app->DrawPressedEdge(dc.get(), m_ptPressed.x, m_ptPressed.y);
    } else {
        app->DrawButtonImage(dc.get(), m_ptPressed.x, m_ptPressed.y, m_nPressedItem);
        app->DrawRaisedEdge(dc.get(), m_ptPressed.x, m_ptPressed.y);
    }
    app->DrawButtonOutline(dc.get(), m_ptPressed.x, m_ptPressed.y);
}

void CButtonBarWnd::OnLButtonDown(UINT, POINT point)
{
    HideTitlePopup();
    // The capture is taken even off the buttons: the release, wherever it happens, ends it.
    SetCapture(m_hWnd);
    m_bCaptured = 1;
    m_bButtonDown = 1;

    CLaunchApp* app = LaunchApp();
    if (!app) {
        m_bButtonDown = 0;
        return;
    }
    const ButtonLayout layout = app->Layout();
    const IntPoint offset = StripOffset(layout);
    const PressedButton press = PressedButtonAt(layout, offset, IntPoint{point.x, point.y});
    if (!press.isButton) {
        m_bButtonDown = 0;
        return;
    }
    m_nPressedItem = press.index;
    const IntPoint image = ImageOrigin(layout, IntPoint{point.x - offset.x, point.y - offset.y});
    m_ptPressed = {image.x + offset.x, image.y + offset.y};
    DrawPressedButton(true);
}

void CButtonBarWnd::OnMouseMove(UINT, POINT point)
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return;
    const int W = EffectiveButtonSize(app->m_nButtonWidth), H = EffectiveButtonSize(app->m_nButtonHeight);
    // The pressed button's cell, both ends included, keeps the press.
    const long long x = point.x, y = point.y, m = kImageInset;
    if (x >= m_ptPressed.x - m && x <= m_ptPressed.x + W + m && y >= m_ptPressed.y - m && y <= m_ptPressed.y + H + m)
        return;
    if (m_bButtonDown == 1) {
        // Sliding off disarms the press for good: coming back does not press again.
        DrawPressedButton(false);
        m_bButtonDown = 0;
    }
}

void CButtonBarWnd::OnNcLButtonDown(UINT, POINT)
{
    HideTitlePopup();
    Default();
}

HMENU CButtonBarWnd::CreateGroupMenu() const
{
    CLaunchApp* app = LaunchApp();
    HMENU menu = CreatePopupMenu();
    if (!app || !menu)
        return menu;
    for (size_t i = 0; i < app->m_groupNames.size(); ++i) {
        const std::string label = GroupMenuLabel(static_cast<unsigned>(i + 1), app->m_groupNames[i]);
        const UINT flags = static_cast<int>(i) == app->m_nGroup ? MF_STRING | MF_CHECKED : MF_STRING;
        // Past the 256th group the ids run beyond what the command handler takes.
        AppendMenuA(menu, flags, IDM_GROUP_FIRST + i, label.c_str());
    }
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    HMENU system = LoadMenuA(app->m_hInstance, MAKEINTRESOURCEA(IDR_SYSTEMMENU));
    if (system && !AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(system),
                               app->LoadResString(IDS_MENU_SYSTEM).c_str()))
        DestroyMenu(system);  // not attached, so the menu would not take it along
    return menu;
}

void CButtonBarWnd::OnRButtonDown(UINT, POINT point)
{
    HideTitlePopup();
    ClientToScreen(m_hWnd, &point);
    SetActiveWindow(m_hWnd);
    HMENU menu = CreateGroupMenu();
    if (!menu)
        return;

    m_dwMenuTick = GetTickCount();
    if (m_bKeyboardMenu != 1)
        InstallMenuHook();
    m_bMenuOpen = 1;
    m_ptMenu = point;
    m_nHookPhase = 0;

    // 8 pixels up, so that the pointer rests inside the first entry's row.
    TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_LEFTBUTTON, point.x, point.y - 8, 0, m_hWnd, nullptr);

    m_bMenuOpen = 0;
    if (m_bKeyboardMenu != 1)
        RemoveMenuHook();
    // The submenu is destroyed with the menu that holds it.
    DestroyMenu(menu);
}

void CButtonBarWnd::InstallMenuHook()
{
    m_nHookPhase = 0;
    CLaunchApp* app = LaunchApp();
    m_hMenuHook = SetWindowsHookExA(WH_MSGFILTER, MenuFilterProc, app ? app->m_hInstance : nullptr,
                                    GetCurrentThreadId());
}

void CButtonBarWnd::RemoveMenuHook()
{
    if (m_hMenuHook) {
        UnhookWindowsHookEx(m_hMenuHook);
        m_hMenuHook = nullptr;
    }
}

LRESULT CALLBACK MenuFilterProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    CLaunchApp* app = LaunchApp();
    CButtonBarWnd* bar = app ? app->m_pButtonWnd : nullptr;
    if (nCode < 0)
        return CallNextHookEx(bar ? bar->m_hMenuHook : nullptr, nCode, wParam, lParam);
    if (nCode != MSGF_MENU || !bar || !lParam)
        return 0;

    MSG* msg = reinterpret_cast<MSG*>(lParam);
    const MenuFilterDecision decision =
        FilterMenuMessage(msg->message, bar->m_nHookPhase, GetTickCount() - bar->m_dwMenuTick);
    bar->m_nHookPhase = decision.phase;
    if (!decision.Changed(msg->message))
        return 0;

    // Some menu loops hand the filter a message they have only peeked and remove it later
    // by the id the filter leaves; a rewritten one would stay queued for ever. Remove the
    // original first, but only when it is the one at the head of the queue.
    MSG head;
    if (PeekMessageA(&head, nullptr, msg->message, msg->message, PM_NOREMOVE | PM_NOYIELD) &&
        head.hwnd == msg->hwnd && head.time == msg->time && head.pt.x == msg->pt.x && head.pt.y == msg->pt.y)
        PeekMessageA(&head, nullptr, msg->message, msg->message, PM_REMOVE | PM_NOYIELD);

    msg->message = decision.message;
    if (decision.atMenuPoint) {
        msg->lParam = MAKELPARAM(bar->m_ptMenu.x, bar->m_ptMenu.y);
        msg->pt = bar->m_ptMenu;
    }
    return 0;
}

void CButtonBarWnd::OnSysKeyUp(UINT nChar, UINT, UINT)
{
    // Every other system key is swallowed: no menu mode, no default processing.
    if (nChar != VK_MENU || KeyDown(VK_SHIFT) || KeyDown(VK_CONTROL))
        return;
    // The keyboard works the menu by itself; the mouse filter is not wanted.
    m_bKeyboardMenu = 1;
    OnRButtonDown(0, POINT{0, 0});
    m_bKeyboardMenu = 0;
}

void CButtonBarWnd::OnInitMenuPopup(HMENU, UINT, BOOL)
{
    Default();
}

void CButtonBarWnd::GiveUpActivation()
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return;
    const UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_SHOWWINDOW;
    const bool shift = KeyDown(VK_SHIFT);
    if (app->m_nPopup != POPUP_FIXED && !shift) {
        app->m_nCmdShow = SW_HIDE;
        ShowWindow(m_hWnd, SW_HIDE);
    } else if (app->m_bTopMost || app->m_nPopup != POPUP_FIXED) {
        // Hiding and showing again passes the activation on; the stacking stays topmost.
        ShowWindow(m_hWnd, SW_HIDE);
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    } else {
        ShowWindow(m_hWnd, SW_HIDE);
        ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        if (!shift)
            SetWindowPos(m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, flags);
    }
}

void CButtonBarWnd::OnKeyDown(UINT nChar, UINT, UINT)
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return;
    const ButtonLayout layout = app->Layout();
    const IntPoint offset = StripOffset(layout);
    switch (nChar) {
    case VK_RETURN: {
        POINT cursor;
        if (!GetCursorPos(&cursor) || WindowFromPoint(cursor) != m_hWnd)
            break;
        ScreenToClient(m_hWnd, &cursor);
        const LPARAM at = MAKELPARAM(cursor.x, cursor.y);
        PostMessageA(m_hWnd, WM_LBUTTONDOWN, 0, at);
        PostMessageA(m_hWnd, WM_LBUTTONUP, 0, at);
        break;
    }
    case VK_ESCAPE:
        HideTitlePopup();
        GiveUpActivation();
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        HideTitlePopup();
        const int group = nChar == VK_PRIOR ? PreviousGroup(app->m_nGroup, app->m_groupSources.size())
                                            : NextGroup(app->m_nGroup, app->m_groupSources.size());
        if (group < 0)
            break;  // no group at all: nothing to step to
        app->m_nGroup = group;
        RebuildButtons();
        break;
    }
    case VK_HOME: {
        const IntPoint centre = HomeCellCentre(layout);
        MoveCursorToButton(centre.x + offset.x, centre.y + offset.y);
        break;
    }
    case VK_END: {
        const IntPoint centre = EndCellCentre(layout);
        MoveCursorToButton(centre.x + offset.x, centre.y + offset.y);
        break;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: {
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        ScreenToClient(m_hWnd, &cursor);
        RECT client = {0, 0, 0, 0};
        GetClientRect(m_hWnd, &client);
        const ButtonAtPoint start = ArrowKeyStartButton(layout, offset, IntPoint{cursor.x, cursor.y},
                                                        IntSize{client.right, client.bottom});
        if (!start.isButton) {
            // Off the buttons, the keys start from the first or the last one.
            const IntPoint centre = nChar == VK_RIGHT || nChar == VK_DOWN ? HomeCellCentre(layout)
                                                                           : EndCellCentre(layout);
            MoveCursorToButton(centre.x + offset.x, centre.y + offset.y);
            break;
        }
        const ArrowKey key = nChar == VK_LEFT ? ArrowKey::Left
                             : nChar == VK_UP  ? ArrowKey::Up
                             : nChar == VK_RIGHT ? ArrowKey::Right
                                                 : ArrowKey::Down;
        const IntPoint target =
            ArrowKeyTarget(layout, start, key, IntSize{client.right - offset.x, client.bottom - offset.y});
        MoveCursorToButton(target.x + offset.x, target.y + offset.y);
        break;
    }
    default:
        break;
    }
}
