// CSetupDlg: the Set Up dialog, which is also the application's main window. It
// minimises itself at once; OK applies the edits, CANCEL and Escape drop them, and
// Exit or closing it ends the application.
#pragma once

#include "dialogs/spin_button.h"
#include "framework/dialog.h"

class CSetupDlg : public fw::Dialog {
public:
    explicit CSetupDlg(fw::Window* pParent);
    ~CSetupDlg() override;

    // Puts the stored settings into the controls.
    void LoadControls();

    int m_bInitialized = 0;

    // Constructed in this order, destroyed in the reverse order.
    CSpinButton m_spinHeightUp;
    CSpinButton m_spinHeightDown;
    CSpinButton m_spinWidthUp;
    CSpinButton m_spinWidthDown;
    CSpinButton m_spinMaxUp;
    CSpinButton m_spinMaxDown;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnClose();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnMove(int x, int y);
    void CreateSpinButtons();
    // Reads a number field; false (after telling the user and selecting the field) when
    // it is not a number from 1 to 99.
    bool ReadField(int nID, int& value);
};
