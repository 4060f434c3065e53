#include "framework/dialog.h"

#include "framework/app_base.h"

namespace fw {

Dialog::Dialog(UINT nIDTemplate, Window* pParent) : m_nIDTemplate(nIDTemplate), m_pParent(pParent) {}

HWND Dialog::CreateFromTemplate(HWND owner)
{
    Application* app = Application::Current();
    HINSTANCE instance = app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), owner, StaticDialogProc,
                              reinterpret_cast<LPARAM>(this));
}

HWND Dialog::ModalOwner() const
{
    if (m_pParent)
        return m_pParent->m_hWnd;
    // A box run without a parent is modal to the application: owned by the main window, or
    // by the box already up over it, so that nothing behind it takes input meanwhile.
    Application* app = Application::Current();
    HWND main = app && app->m_pMainWnd && app->m_pMainWnd != this ? app->m_pMainWnd->m_hWnd : nullptr;
    return main && IsWindow(main) ? GetLastActivePopup(main) : nullptr;
}

INT_PTR Dialog::DoModal()
{
    HWND parent = ModalOwner();
    bool reenableParent = parent && IsWindowEnabled(parent);
    if (reenableParent)
        EnableWindow(parent, FALSE);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    HWND hWnd = CreateFromTemplate(parent);
    if (hWnd) {
        MSG msg;
        while (!m_bEndModal && m_hWnd) {
            BOOL got = GetMessageA(&msg, nullptr, 0, 0);
            if (got == -1)
                break;
            if (got == 0) {
                // The dialog manager of some platforms swallows the quit; the run must end everywhere.
                Application::RepostQuit(static_cast<int>(msg.wParam));
                break;
            }
            if (!m_hWnd || !IsDialogMessageA(m_hWnd, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    // Hidden before its owner is enabled again, so that the activation goes back to the owner
    // rather than to whatever window lies beneath.
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (reenableParent)
        EnableWindow(parent, TRUE);
    if (m_hWnd) {
        if (parent && GetActiveWindow() == m_hWnd)
            SetActiveWindow(parent);
        ::DestroyWindow(m_hWnd);
    }
    m_bModal = false;
    return hWnd ? m_nModalResult : -1;
}

BOOL Dialog::Create()
{
    m_bModal = false;
    return CreateFromTemplate(m_pParent ? m_pParent->m_hWnd : nullptr) != nullptr;
}

void Dialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal)
        m_bEndModal = true;
    else
        DestroyWindow();
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        // Commands the dialog does not know go on to the application, as from any window.
        return Window::OnCommand(wParam, lParam);
    }
}

INT_PTR Dialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
        if (Application* app = Application::Current())
            return reinterpret_cast<INT_PTR>(app->CtlColor(reinterpret_cast<HDC>(wParam), message));
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK Dialog::StaticDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dlg = nullptr;
    if (message == WM_INITDIALOG) {
        dlg = reinterpret_cast<Dialog*>(lParam);
        if (dlg) {
            dlg->m_hWnd = hWnd;
            SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(static_cast<Window*>(dlg)));
        }
    } else {
        dlg = static_cast<Dialog*>(FromHandle(hWnd));
    }
    if (!dlg)
        return FALSE;

    CurrentMessage saved = dlg->m_current;
    dlg->m_current = {message, wParam, lParam};
    INT_PTR result = FALSE;
    try {
        result = dlg->DialogProc(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind through the dialog manager.
        result = FALSE;
    }
    dlg->m_current = saved;
    if (message == WM_NCDESTROY) {
        dlg->Detach();
        dlg->PostNcDestroy();
    }
    return result;
}

}  // namespace fw
