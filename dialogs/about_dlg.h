// CAboutDlg: the About box (template 101). It owns its three texts and fills the panel
// of machine facts when it opens and again when OK is pressed with Shift and Ctrl held,
// which also shows the build stamp. Run modally by CLaunchApp::ShowAbout.
#pragma once

#include "framework/dialog.h"

#include <windows.h>

#include <string>

class CAboutDlg : public fw::Dialog {
public:
    // String-table ids of the product name, the version line and the notice line.
    CAboutDlg(UINT nIDTitle, UINT nIDVersion, UINT nIDNotice);
    ~CAboutDlg() override;

    // Fills the memory, processor, user, screen and colour lines from the machine.
    void FillSystemInfo();

    std::string m_strCaption;
    std::string m_strVersion;
    std::string m_strNotice;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};
