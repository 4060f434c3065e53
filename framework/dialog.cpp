#include "framework/dialog.h"

#include "framework/app_base.h"

namespace fw {

Dialog::Dialog(UINT nIDTemplate, Window* pParent) : m_nIDTemplate(nIDTemplate), m_pParent(pParent) {}

HWND Dialog::CreateFromTemplate()
{
    Application* app = Application::Current();
    HINSTANCE instance = app && app->m_hInstance ? app->m_hInstance : GetModuleHandleA(nullptr);
    HWND parent = m_pParent ? m_pParent->m_hWnd : nullptr;
    return CreateDialogParamA(instance, MAKEINTRESOURCEA(m_nIDTemplate), parent, StaticDialogProc,
                              reinterpret_cast<LPARAM>(this));
}

INT_PTR Dialog::DoModal()
{
    HWND parent = m_pParent ? m_pParent->m_hWnd : nullptr;
    bool reenableParent = parent && IsWindowEnabled(parent);
    if (reenableParent)
        EnableWindow(parent, FALSE);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    HWND hWnd = CreateFromTemplate();
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
    if (reenableParent)
        EnableWindow(parent, TRUE);
    if (m_hWnd) {
        SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        ::DestroyWindow(m_hWnd);
    }
    m_bModal = false;
    return hWnd ? m_nModalResult : -1;
}

BOOL Dialog::Create()
{
    m_bModal = false;
    return CreateFromTemplate() != nullptr;
}

void Dialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal)
        m_bEndModal = true;
    else
        DestroyWindow();
}

BOOL Dialog::OnCommand(WPARAM wParam, LPARAM)
{
    switch (LOWORD(wParam)) {
    case IDOK:
        OnOK();
        return TRUE;
    case IDCANCEL:
        OnCancel();
        return TRUE;
    default:
        return FALSE;
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
