// CLaunchApp: the application object. It loads and saves the settings, creates the
// Set Up dialog (the main window) and the button window, owns the group lists, the
// current group, the icon strip and the association table, and runs the Set Up
// dialog's modal loop for the whole run. One static instance lives in main.cpp;
// tests create their own.
#pragma once

#include "catalog/program_group.h"
#include "framework/app_base.h"
#include "framework/gdi.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CSetupDlg;
class CButtonBarWnd;

// Popup modes, title strip modes and title popup modes are stored as the ids of the
// Set Up dialog's radio buttons.
constexpr int POPUP_FIXED = 10100;
constexpr int POPUP_POPUP = 10101;
constexpr int POPUP_GROUPUP = 10102;
constexpr int TITLE_HORIZONTAL = 10000;
constexpr int TITLE_VERTICAL = 10001;
constexpr int TITLE_NOTHING = 10002;
constexpr int POPUPTITLE_DISABLE = 401;
constexpr int POPUPTITLE_ACTIVE = 402;
constexpr int POPUPTITLE_ALWAYS = 403;
// Screen position codes of the button window.
constexpr int POSITION_FREE = 600;
constexpr int POSITION_TOP_LEFT = 601;
constexpr int POSITION_TOP_CENTRE = 602;
constexpr int POSITION_TOP_RIGHT = 603;
constexpr int POSITION_BOTTOM_LEFT = 604;
constexpr int POSITION_BOTTOM_CENTRE = 605;
constexpr int POSITION_BOTTOM_RIGHT = 606;

class CLaunchApp : public fw::Application {
public:
    CLaunchApp();
    ~CLaunchApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    void FreeObjects();
    void LoadSettings();
    void SaveSettings();
    // Fills the group lists and loads the current group; 0 on success.
    uint16_t LoadGroups();
    void LoadAssociations();
    // Draws the icons of the group at this source into the icon strip; 1 always.
    BOOL BuildIconStrip(const std::string& source);
    // Sizes the button window to cx x cy (outer pixels) and places it on the screen.
    void PlaceButtonWindow(int cx, int cy);
    // The outer size of the button window for the current group.
    SIZE ButtonWindowSize() const;

    std::unique_ptr<CSetupDlg> m_pSetupDlg;  // also the framework's main window
    CButtonBarWnd* m_pButtonWnd = nullptr;   // owns itself; cleared when its window goes
    int m_bTopMost = 0;
    int m_bStopSaver = 0;
    int m_nPopup = 0;
    HBRUSH m_hbrBackground = nullptr;  // stock light-grey brush, not owned
    int m_nGroup = 0;
    std::unique_ptr<fw::Bitmap> m_pIconStrip;
    SIZE m_sizeIconStrip = {0, 0};
    int m_nPosition = 0;
    int m_nButtonWidth = 0;
    int m_nButtonHeight = 0;
    RECT m_rcWindow = {0, 0, 0, 0};
    RECT m_rcDialog = {0, 0, 0, 0};
    int m_nMaxInLine = 0;
    int m_nPopupTitle = 0;
    std::vector<std::string> m_groupSources;
    std::vector<std::string> m_groupNames;
    std::vector<uint32_t> m_groupPositions;
    CProgramGroup m_group;
    int m_nTitle = 0;
    int m_b3dControls = 0;
    std::vector<std::string> m_extensions;
    std::vector<std::string> m_openCommands;
};

// The running application object, or none.
CLaunchApp* LaunchApp();
