// The dialog base: a dialog from a template id, run modally (our own loop, so that a
// quit message reaches the outer loop on every platform) or modelessly. The object
// meets its HWND at WM_INITDIALOG and leaves it at WM_NCDESTROY.
#pragma once

#include "framework/window.h"

namespace fw {

class Dialog : public Window {
public:
    explicit Dialog(UINT nIDTemplate, Window* pParent = nullptr);

    // Creates the dialog and serves the thread's messages until EndDialog; returns its
    // result, or -1 when the dialog cannot be created. A quit message ends the run too
    // and is posted again for the outer loop. The owner (the parent, or without one the
    // main window's last active popup) takes no input meanwhile.
    INT_PTR DoModal();
    // Creates the dialog modelessly; FALSE on failure.
    BOOL Create();
    // Ends a modal run with this result; a modeless dialog is destroyed.
    void EndDialog(int nResult);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Routes IDOK and IDCANCEL, and passes other commands on to the application; returns
    // TRUE when the command was handled.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // The dialog's switch; the result is the dialog procedure's (FALSE: default processing).
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    // In a dialog the default processing is the dialog manager's own.
    LRESULT Default() override { return 0; }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND owner);
    HWND ModalOwner() const;

    UINT m_nIDTemplate;
    Window* m_pParent;
    bool m_bModal = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;
};

}  // namespace fw
