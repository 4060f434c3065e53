// CSetupDlg: the Set Up dialog, which is also the application's main window. It
// minimises itself at once; Exit or closing it ends the application.
#pragma once

#include "framework/dialog.h"

class CSetupDlg : public fw::Dialog {
public:
    explicit CSetupDlg(fw::Window* pParent);
    ~CSetupDlg() override;

    // Puts the stored settings into the controls.
    void LoadControls();

    int m_bInitialized = 0;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnClose();
};
