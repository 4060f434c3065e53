#include "dialogs/setup_dlg.h"

#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "framework/step_marks.h"
#include "resource.h"

namespace {

struct PositionButton {
    int id;
    int position;
};

// The order in which OK tests the buttons: free first, then the corners and edges.
constexpr PositionButton kPositionButtons[] = {
    {IDC_POS_FREE, POSITION_FREE},
    {IDC_POS_TOPLEFT, POSITION_TOP_LEFT},
    {IDC_POS_TOPCENTER, POSITION_TOP_CENTRE},
    {IDC_POS_TOPRIGHT, POSITION_TOP_RIGHT},
    {IDC_POS_BOTTOMLEFT, POSITION_BOTTOM_LEFT},
    {IDC_POS_BOTTOMCENTER, POSITION_BOTTOM_CENTRE},
    {IDC_POS_BOTTOMRIGHT, POSITION_BOTTOM_RIGHT},
};

// Which position button shows a stored position code; anything unknown shows as free.
int PositionButtonFor(int position)
{
    for (const PositionButton& button : kPositionButtons) {
        if (button.position == position)
            return button.id;
    }
    return IDC_POS_FREE;
}

constexpr int kFieldDigits = 2;
constexpr UINT kFieldMin = 1;
constexpr UINT kFieldMax = 99;

struct SpinPlace {
    int field;
    int upId;
    int downId;
};

constexpr SpinPlace kSpinPlaces[] = {
    {IDC_HEIGHT, IDC_SPIN_HEIGHT_UP, IDC_SPIN_HEIGHT_DOWN},
    {IDC_WIDTH, IDC_SPIN_WIDTH_UP, IDC_SPIN_WIDTH_DOWN},
    {IDC_MAX, IDC_SPIN_MAX_UP, IDC_SPIN_MAX_DOWN},
};

bool IsNumberField(UINT id)
{
    return id == IDC_HEIGHT || id == IDC_WIDTH || id == IDC_MAX;
}

}  // namespace

CSetupDlg::CSetupDlg(fw::Window* pParent) : fw::Dialog(IDD_SETUP, pParent) {}

CSetupDlg::~CSetupDlg() = default;

INT_PTR CSetupDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        OnClose();
        return FALSE;  // then the dialog manager's own processing
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return FALSE;
    case WM_MOVE: {
        const POINT at = fw::PointFromLParam(lParam);
        OnMove(at.x, at.y);
        return FALSE;
    }
    default:
        return fw::Dialog::DialogProc(message, wParam, lParam);
    }
}

BOOL CSetupDlg::OnInitDialog()
{
    if (!GetDlgItem(m_hWnd, IDC_HEIGHT) || !GetDlgItem(m_hWnd, IDC_WIDTH) || !GetDlgItem(m_hWnd, IDC_MAX))
        return FALSE;
    m_bInitialized = 1;
    QL_MARK_STEP("Set Up dialog: template's controls");

    CLaunchApp* app = LaunchApp();
    SetClassLongPtrA(m_hWnd, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(app->m_hInstance, MAKEINTRESOURCEA(IDI_QUILLBAR))));

    if (HMENU sysMenu = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenuA(sysMenu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sysMenu, MF_STRING, IDM_HELP, app->LoadResString(IDS_SYSMENU_HELP).c_str());
        AppendMenuA(sysMenu, MF_STRING, IDM_ABOUT, app->LoadResString(IDS_SYSMENU_ABOUT).c_str());
    }

    for (int id : {IDC_HEIGHT, IDC_WIDTH, IDC_MAX})
        SendDlgItemMessageA(m_hWnd, id, EM_LIMITTEXT, kFieldDigits, 0);
    LoadControls();
    QL_MARK_STEP("Set Up dialog: menu entries, values");
    CreateSpinButtons();
    QL_MARK_STEP("Set Up dialog: six arrow buttons");

    const RECT& stored = app->m_rcDialog;
    if (stored.left || stored.top || stored.right || stored.bottom) {
        SetWindowPos(m_hWnd, nullptr, stored.left, stored.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else {
        fw::CentreOnDesktop(m_hWnd);
    }

    // The launcher runs as this minimised window; restoring it shows the settings.
    ShowWindow(m_hWnd, SW_MINIMIZE);
    QL_MARK_STEP("Set Up dialog created, minimised");
    return TRUE;
}

void CSetupDlg::CreateSpinButtons()
{
    // A pair of arrows forms a square as high as the field's client area at its right
    // edge; with the 3-D controls the field's sunken border needs one pixel more.
    CSpinButton* spins[] = {&m_spinHeightUp, &m_spinHeightDown, &m_spinWidthUp,
                            &m_spinWidthDown, &m_spinMaxUp,     &m_spinMaxDown};
    const int d = LaunchApp()->m_b3dControls ? 1 : 0;
    int n = 0;
    for (const SpinPlace& place : kSpinPlaces) {
        HWND field = GetDlgItem(m_hWnd, place.field);
        RECT r;
        GetClientRect(field, &r);
        MapWindowPoints(field, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        const int s = r.bottom - r.top;
        const int half = s / 2;

        SpinButtonInit up = {this, place.upId, place.field, static_cast<int>(kFieldMax), static_cast<int>(kFieldMin),
                             +1, 1, SPIN_UP, {r.right + d, r.top, r.right + s + d, r.top + half}};
        SpinButtonInit down = {this, place.downId, place.field, static_cast<int>(kFieldMax), static_cast<int>(kFieldMin),
                               -1, 1, SPIN_DOWN, {r.right + d, r.top + half, r.right + s + d, r.bottom}};
        // A field without its arrows still works by typing: the result is not needed.
        spins[n++]->CreateSpin(up);
        spins[n++]->CreateSpin(down);
    }
}

void CSetupDlg::LoadControls()
{
    CLaunchApp* app = LaunchApp();
    int title = app->m_nTitle == TITLE_HORIZONTAL || app->m_nTitle == TITLE_VERTICAL ? app->m_nTitle : TITLE_NOTHING;
    CheckRadioButton(m_hWnd, IDC_TITLE_HORIZONTAL, IDC_TITLE_NOTHING, title);
    int popupTitle = app->m_nPopupTitle == POPUPTITLE_DISABLE || app->m_nPopupTitle == POPUPTITLE_ACTIVE
                         ? app->m_nPopupTitle
                         : POPUPTITLE_ALWAYS;
    CheckRadioButton(m_hWnd, IDC_POPUPTITLE_DISABLE, IDC_POPUPTITLE_ALWAYS, popupTitle);
    CheckRadioButton(m_hWnd, IDC_POS_TOPLEFT, IDC_POS_BOTTOMRIGHT, PositionButtonFor(app->m_nPosition));
    CheckDlgButton(m_hWnd, IDC_TOPMOST, static_cast<UINT>(app->m_bTopMost));
    CheckDlgButton(m_hWnd, IDC_STOPSAVER, static_cast<UINT>(app->m_bStopSaver));
    int popup = app->m_nPopup == POPUP_FIXED || app->m_nPopup == POPUP_POPUP ? app->m_nPopup : POPUP_GROUPUP;
    CheckRadioButton(m_hWnd, IDC_POPUP_FIXED, IDC_POPUP_GROUPUP, popup);
    SetDlgItemInt(m_hWnd, IDC_HEIGHT, static_cast<UINT>(app->m_nButtonHeight), FALSE);
    SetDlgItemInt(m_hWnd, IDC_WIDTH, static_cast<UINT>(app->m_nButtonWidth), FALSE);
    SetDlgItemInt(m_hWnd, IDC_MAX, static_cast<UINT>(app->m_nMaxInLine), FALSE);
}

bool CSetupDlg::ReadField(int nID, int& value)
{
    BOOL translated = FALSE;
    UINT number = GetDlgItemInt(m_hWnd, nID, &translated, FALSE);
    if (translated && number >= kFieldMin && number <= kFieldMax) {
        value = static_cast<int>(number);
        return true;
    }
    CLaunchApp* app = LaunchApp();
    MessageBoxA(m_hWnd, app->LoadResString(IDS_INVALID_VALUES).c_str(), app->LoadResString(IDS_APPNAME).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    HWND field = GetDlgItem(m_hWnd, nID);
    // Through the dialog manager, so that the default button and the focus stay in step.
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, EM_SCROLLCARET, 0, 0);
    return false;
}

void CSetupDlg::OnOK()
{
    CLaunchApp* app = LaunchApp();
    const int oldWidth = app->m_nButtonWidth;
    const int oldHeight = app->m_nButtonHeight;
    const int oldMax = app->m_nMaxInLine;
    const int oldTitle = app->m_nTitle;

    // Only the first bad field is reported; nothing changes until all three are good.
    int height = 0, width = 0, maxInLine = 0;
    if (!ReadField(IDC_HEIGHT, height) || !ReadField(IDC_WIDTH, width) || !ReadField(IDC_MAX, maxInLine))
        return;
    app->m_nButtonWidth = width;
    app->m_nButtonHeight = height;
    app->m_nMaxInLine = maxInLine;

    HWND bar = app->m_pButtonWnd ? app->m_pButtonWnd->m_hWnd : nullptr;
    // The button window flips TopMost itself when it handles the command.
    const bool topMostChecked = IsDlgButtonChecked(m_hWnd, IDC_TOPMOST) != BST_UNCHECKED;
    if (bar && topMostChecked != (app->m_bTopMost != 0))
        PostMessageA(bar, WM_COMMAND, IDM_TOPMOST, 0);

    app->m_nTitle = IsDlgButtonChecked(m_hWnd, IDC_TITLE_HORIZONTAL) ? TITLE_HORIZONTAL
                    : IsDlgButtonChecked(m_hWnd, IDC_TITLE_VERTICAL) ? TITLE_VERTICAL
                                                                      : TITLE_NOTHING;
    app->m_nPopupTitle = IsDlgButtonChecked(m_hWnd, IDC_POPUPTITLE_DISABLE)  ? POPUPTITLE_DISABLE
                         : IsDlgButtonChecked(m_hWnd, IDC_POPUPTITLE_ACTIVE) ? POPUPTITLE_ACTIVE
                                                                              : POPUPTITLE_ALWAYS;
    for (const PositionButton& button : kPositionButtons) {
        if (IsDlgButtonChecked(m_hWnd, button.id))
            app->m_nPosition = button.position;
    }
    app->m_bStopSaver = IsDlgButtonChecked(m_hWnd, IDC_STOPSAVER) ? 1 : 0;
    for (int mode : {POPUP_FIXED, POPUP_POPUP, POPUP_GROUPUP}) {
        if (IsDlgButtonChecked(m_hWnd, mode))
            app->m_nPopup = mode;
    }

    ShowWindow(m_hWnd, SW_MINIMIZE);

    if (app->m_nPopup == POPUP_FIXED) {
        app->m_nCmdShow = SW_RESTORE;
        if (bar)
            SetWindowPos(bar, app->m_bTopMost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    } else {
        app->m_nCmdShow = SW_HIDE;
    }
    if (!bar)
        return;
    ShowWindow(bar, app->m_nCmdShow);

    if (app->m_nButtonWidth != oldWidth || app->m_nButtonHeight != oldHeight || app->m_nMaxInLine != oldMax ||
        app->m_nTitle != oldTitle)
        app->m_pButtonWnd->RebuildButtons();

    RECT rc;
    GetWindowRect(bar, &rc);
    app->PlaceButtonWindow(rc.right - rc.left, rc.bottom - rc.top);
}

void CSetupDlg::OnCancel()
{
    // Escape and IDCANCEL act exactly as the CANCEL button.
    PostMessageA(m_hWnd, WM_COMMAND, IDC_SETUP_CANCEL, 0);
}

BOOL CSetupDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (wParam == IDC_SETUP_CANCEL) {
        LoadControls();
        ShowWindow(m_hWnd, SW_MINIMIZE);
    } else if (wParam == IDC_EXIT) {
        // A menu open meanwhile (the group menu, a system menu) would hold the run in its
        // own loop until someone dismissed it.
        EndMenu();
        EndDialog(IDCANCEL);
    } else if (HIWORD(wParam) == EN_SETFOCUS && IsNumberField(LOWORD(wParam))) {
        PostMessageA(GetDlgItem(m_hWnd, LOWORD(wParam)), EM_SETSEL, 0, -1);
    }

    // A double click on the top-left position confirms the dialog, and the About command
    // arrives here from the system menu.
    if (LOWORD(wParam) == IDC_POS_TOPLEFT && HIWORD(wParam) == BN_DOUBLECLICKED) {
        OnOK();
        return TRUE;
    }
    if (wParam == IDM_ABOUT) {
        LaunchApp()->ShowAbout();
        return TRUE;
    }
    return fw::Dialog::OnCommand(wParam, lParam);
}

void CSetupDlg::OnSysCommand(UINT nID, LPARAM)
{
    // Our own entries are compared whole: 2004 masked as a system command would read as 2000.
    if (nID == IDM_ABOUT)
        PostMessageA(m_hWnd, WM_COMMAND, IDM_ABOUT, 0);
    else if (nID == IDM_HELP)
        LaunchApp()->WinHelp(0, HELP_CONTENTS);
}

void CSetupDlg::OnMove(int, int)
{
    // Moves of the icon, and those before the fields were found, are not the dialog's place.
    if (!IsIconic(m_hWnd) && m_bInitialized == 1)
        GetWindowRect(m_hWnd, &LaunchApp()->m_rcDialog);
}

void CSetupDlg::OnClose()
{
    // The posted Exit ends the dialog before anything the default processing posts.
    PostMessageA(m_hWnd, WM_COMMAND, IDC_EXIT, 0);
}
