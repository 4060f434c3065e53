#include "dialogs/setup_dlg.h"

#include "app/launch_app.h"
#include "resource.h"

namespace {

// Which position button shows a stored position code; anything unknown shows as free.
int PositionButtonFor(int position)
{
    switch (position) {
    case POSITION_TOP_LEFT: return IDC_POS_TOPLEFT;
    case POSITION_TOP_CENTRE: return IDC_POS_TOPCENTER;
    case POSITION_TOP_RIGHT: return IDC_POS_TOPRIGHT;
    case POSITION_BOTTOM_LEFT: return IDC_POS_BOTTOMLEFT;
    case POSITION_BOTTOM_CENTRE: return IDC_POS_BOTTOMCENTER;
    case POSITION_BOTTOM_RIGHT: return IDC_POS_BOTTOMRIGHT;
    default: return IDC_POS_FREE;
    }
}

constexpr int kFieldDigits = 2;

}  // namespace

CSetupDlg::CSetupDlg(fw::Window* pParent) : fw::Dialog(IDD_SETUP, pParent) {}

CSetupDlg::~CSetupDlg() = default;

INT_PTR CSetupDlg::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        OnClose();
        return FALSE;  // then the dialog manager's own processing
    default:
        return fw::Dialog::DialogProc(message, wParam, lParam);
    }
}

BOOL CSetupDlg::OnInitDialog()
{
    if (!GetDlgItem(m_hWnd, IDC_HEIGHT) || !GetDlgItem(m_hWnd, IDC_WIDTH) || !GetDlgItem(m_hWnd, IDC_MAX))
        return FALSE;
    m_bInitialized = 1;

    CLaunchApp* app = LaunchApp();
    SetClassLongPtrA(m_hWnd, GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(app->m_hInstance, MAKEINTRESOURCEA(IDI_QUILLBAR))));

    for (int id : {IDC_HEIGHT, IDC_WIDTH, IDC_MAX})
        SendDlgItemMessageA(m_hWnd, id, EM_LIMITTEXT, kFieldDigits, 0);
    LoadControls();

    const RECT& stored = app->m_rcDialog;
    if (stored.left || stored.top || stored.right || stored.bottom) {
        SetWindowPos(m_hWnd, nullptr, stored.left, stored.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    } else {
        RECT dialog, desktop;
        GetWindowRect(m_hWnd, &dialog);
        GetWindowRect(GetDesktopWindow(), &desktop);
        int x = desktop.left + ((desktop.right - desktop.left) - (dialog.right - dialog.left)) / 2;
        int y = desktop.top + ((desktop.bottom - desktop.top) - (dialog.bottom - dialog.top)) / 2;
        SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }

    // The launcher runs as this minimised window; restoring it shows the settings.
    ShowWindow(m_hWnd, SW_MINIMIZE);
    return TRUE;
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

void CSetupDlg::OnOK()
{
    // Applying the edits comes with the rest of the dialog; until then OK keeps the
    // stored settings on show, so the dialog never pretends to have applied anything.
    LoadControls();
    ShowWindow(m_hWnd, SW_MINIMIZE);
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
        EndDialog(IDCANCEL);
    } else if (HIWORD(wParam) == EN_SETFOCUS) {
        UINT id = LOWORD(wParam);
        if (id == IDC_HEIGHT || id == IDC_WIDTH || id == IDC_MAX)
            PostMessageA(GetDlgItem(m_hWnd, static_cast<int>(id)), EM_SETSEL, 0, -1);
    }
    return fw::Dialog::OnCommand(wParam, lParam);
}

void CSetupDlg::OnClose()
{
    // The posted Exit ends the dialog before anything the default processing posts.
    PostMessageA(m_hWnd, WM_COMMAND, IDC_EXIT, 0);
}
