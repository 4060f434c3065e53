// CLaunchApp: the application object. It loads and saves the settings, creates the
// Set Up dialog (the main window) and the button window, owns the group lists, the
// current group, the icon strip and the association table, and runs the Set Up
// dialog's modal loop for the whole run. One static instance lives in main.cpp;
// tests create their own.
#pragma once

#include "app/modes.h"
#include "buttonbar/geometry.h"
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


// The error code of a start that failed for want of memory; other codes are a failed start's.
constexpr int LAUNCH_ERROR_MEMORY = 193;

class CLaunchApp : public fw::Application {
public:
    CLaunchApp();
    ~CLaunchApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;

    // Handles the framework's standard About command.
    BOOL OnCmdMsg(UINT nID) override;
    // Runs the About box modally, the bar left as it is meanwhile. Virtual so that a test
    // can see it reached.
    virtual void ShowAbout();

    void FreeObjects();
    void LoadSettings();
    // Writes the settings file, or the user's when that cannot be written; a save that
    // fails everywhere is reported, once a run.
    void SaveSettings();
    // The user's settings file, %APPDATA%\Quillbar\<ProfileName()>; empty without APPDATA.
    std::string UserSettingsFile() const;
    // Fills the group lists and loads the current group's items (app/group_reads.cpp, for
    // tests and benchmarks). A registry without groups leaves the lists and the group empty.
    void LoadGroups();
    // The lists alone, sorted, and the "Group" setting clamped to them; the current group
    // is left empty.
    void LoadGroupLists();
    // Reads the current group's record once and takes its items and its icon strip from
    // it: 1 when the record cannot be read or is refused, the group and the strip left as
    // they were. Without a current group the group is emptied and the strip kept.
    uint16_t LoadCurrentGroup();
    // Replaces the association table with the registry's (app/associations.cpp).
    void LoadAssociations();
    // The start-up's read of the same table, a few keys at a time on a timer of the
    // thread's, so that the bar is shown and answers meanwhile; the table is empty until
    // the read ends. Read at once if no timer can be had.
    void StartLoadingAssociations();
    // Ends that read here and now and takes its table; nothing when no read is pending.
    // Everything that uses the table calls it first.
    void WaitForAssociations();
    // Gives a pending read up, its table unread.
    void DiscardPendingAssociations();
    // The command line of a click start of this item command.
    std::string BuildCommandLine(const std::string& command);
    // Draws the icons of the group at this source into the icon strip (app/group_reads.cpp,
    // for tests and benchmarks); see DrawIconStrip for what a build that cannot finish leaves.
    void BuildIconStrip(const std::string& source);
    // The same from the group's record as already read (app/groups.cpp).
    void BuildIconStrip(const uint8_t* record, size_t size);
    // Sizes the button window to cx x cy (outer pixels) and places it on the screen.
    void PlaceButtonWindow(int cx, int cy);
    // The grid's offset in the client area, by the title strip; returns the strip thickness.
    int GetStripOffset(POINT& offset) const;
    // The settings and the current group as the button geometry reads them.
    ButtonLayout Layout() const;
    // Shows why a start failed, in a message box owned by the button window.
    void ReportLaunchError(int nCode);

    // Groups from the Start Menu (app/startmenu_import.cpp). At start-up, with no group in
    // any registry place and the question not yet answered, asks once whether to make them.
    void OfferStartMenuImport();
    // Runs the group tool beside the executable on the Start Menu and shows the groups
    // it made; a tool that cannot be started or leaves entries out is reported.
    void ImportStartMenu();

    // Drawing of buttons (app/drawing.cpp); (x, y) is the client position of an image's
    // top-left corner.
    // With imagesOnly, draws only the images, for that layout of the current group, over
    // those of a group of the same layout: FALSE, drawing nothing, when the strip lacks an
    // image for a button.
    BOOL PaintButtons(HDC hdc, const ButtonLayout* imagesOnly = nullptr);
    BOOL DrawRaisedEdge(HDC hdc, int x, int y);
    BOOL DrawPressedEdge(HDC hdc, int x, int y);
    BOOL DrawButtonOutline(HDC hdc, int x, int y);
    BOOL DrawButtonImage(HDC hdc, int x, int y, uint16_t nItem);
    // Copies cell nItem of the strip, selected into `strip`, to (x, y).
    void CopyCell(HDC hdc, HDC strip, int x, int y, int nItem) const;
    // The outer size of the button window for the current group.
    SIZE ButtonWindowSize() const;

    std::unique_ptr<CSetupDlg> m_pSetupDlg;  // also the framework's main window
    CButtonBarWnd* m_pButtonWnd = nullptr;   // owns itself; cleared when its window goes
    int m_bTopMost = 0;
    int m_bStopSaver = 0;
    int m_nPopup = 0;
    HBRUSH m_hbrBackground = nullptr;  // stock light-grey brush, not owned
    int m_nGroup = 0;
    fw::Bitmap m_iconStrip;  // none until the first build
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
    int m_bAskImport = 1;  // the first-run question has not been answered
    std::vector<std::string> m_extensions;
    std::vector<std::string> m_openCommands;

    struct PendingAssociations;  // app/associations.cpp

private:
    // Every value into this file; FALSE with the system's error at the first that fails.
    bool WriteSettings(const std::string& fileName, DWORD& error) const;
    bool m_bSaveFailureShown = false;
    bool m_bImporting = false;  // the group tool runs; another import is not started
    static void CALLBACK AssociationTimer(HWND, UINT, UINT_PTR idEvent, DWORD);
    PendingAssociations* m_pPendingAssociations = nullptr;  // owned; while the start-up read runs
};

// The running application object, or none.
CLaunchApp* LaunchApp();

// Appends "\npath: the system's reason" to the text of a failure's message box.
void AddFailure(std::string& report, const std::string& path, DWORD error);
