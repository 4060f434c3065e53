// The application base: the one current application object, its run sequence
// (InitInstance, message loop, ExitInstance), the wait cursor, string-table
// loading, the executable's name and the dialog colours. Derived by CLaunchApp;
// WinMain hands control to RunApplication.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window;

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // The application constructed last and not yet destroyed; none outside a run.
    static Application* Current() { return s_pCurrent; }

    // Start-up and shut-down, overridden by the real application.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance();

    // Commands that the windows pass on; TRUE when handled. The base handles none.
    virtual BOOL OnCmdMsg(UINT nID) { (void)nID; return FALSE; }

    // The thread's message loop; ends on WM_QUIT and returns ExitInstance().
    int Run();

    // Posts the quit message unless one is already on its way to the loop: the first
    // exit code is the one that counts.
    void PostQuit(int nExitCode);
    // A quit message was taken from the queue; the next PostQuit posts again.
    void QuitTaken() { m_bQuitPosted = false; }
    // A nested message loop took a quit message: post it again, through the current
    // application when there is one, so that the outer loop still ends the run.
    static void RepostQuit(int nExitCode);
    // PostQuit through the current application; with none (the process is ending) the
    // quit message is posted as it is.
    static void Quit(int nExitCode);

    // Records the instance, show command and executable name; called once
    // before InitInstance (by RunApplication, or by a test).
    void Attach(HINSTANCE hInstance, int nCmdShow);

    // Raises (+1) or lowers (-1) the wait-cursor count; the hourglass shows while it is above 0.
    void DoWaitCursor(int nCode);
    int WaitCursorCount() const { return m_nWaitCursorCount; }

    // Loads a string-table entry; empty when there is none.
    std::string LoadResString(UINT nID) const;

    // The executable's file name without directory and extension, e.g. "qlbar".
    const std::string& ExeName() const { return m_strExeName; }
    // The settings file: ExeName() + ".INI", without directory, so it lives in the Windows directory.
    const std::string& ProfileName() const { return m_strProfileName; }

    // Opens the application's help file, the executable's path with ".HLP", on the main
    // window. When there is no such file or the help engine cannot start, tells the user
    // "Failed to launch help." (string kHelpFailedString) and returns FALSE.
    BOOL WinHelp(DWORD_PTR dwData, UINT nCmd);
    // The executable's path with its extension replaced by ".HLP".
    std::string HelpFilePath() const;
    // The path of a file of this name in the executable's folder; empty when the
    // executable's path cannot be read.
    std::string SiblingPath(const char* fileName) const;
    static constexpr UINT kHelpFailedString = 61703;

    // Loads the optional 3-D control library and registers with it; FALSE when it is not available.
    BOOL Enable3dControls();
    // Colours used by every dialog of the application from now on.
    void SetDialogBkColor(COLORREF clrCtlBk, COLORREF clrCtlText);
    // Answers WM_CTLCOLOR* for dialogs; null when no dialog colours are set.
    HBRUSH CtlColor(HDC hdc, UINT nCtlColor) const;

    HINSTANCE m_hInstance = nullptr;
    // The show command; the launcher uses it as the button window's show state.
    int m_nCmdShow = SW_SHOWNORMAL;
    // The main window: when it is destroyed the run ends (a quit message is posted).
    Window* m_pMainWnd = nullptr;

private:
    void Release3dControls();

    static Application* s_pCurrent;
    int m_nWaitCursorCount = 0;
    HCURSOR m_hcurRestore = nullptr;
    std::string m_strExeName;
    std::string m_strProfileName;
    HMODULE m_hCtl3d = nullptr;
    HBRUSH m_hbrDialogBk = nullptr;
    COLORREF m_clrDialogBk = 0;
    COLORREF m_clrDialogText = 0;
    int m_nExitCode = 0;
    bool m_bQuitPosted = false;
};

// The executable's base name from a module path: "C:\x\qlbar.exe" gives "qlbar".
// Walks the ANSI code page's characters, so it is platform code.
std::string BaseNameOfPath(const std::string& path);

// Loads a library from the system directory alone: never from the program's folder, the
// current directory or PATH.
HMODULE LoadSystemLibrary(const char* name);
// Takes the current directory out of the search for libraries named without a path.
void KeepCurrentDirectoryOutOfDllSearch();

// The framework's WinMain body: attach, InitInstance, then Run or ExitInstance.
int RunApplication(HINSTANCE hInstance, int nCmdShow);

// Shows the wait cursor for its lifetime.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace fw
