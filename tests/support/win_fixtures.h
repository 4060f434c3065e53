// Helpers for the tests that run under Wine: settings files in the Windows directory,
// running the real launcher, and finding the windows of a process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

// Full path of a file in the Windows directory.
std::string WindowsDirFile(const std::string& name);
// Reads a key of a settings file; "<missing>" when the key is absent.
std::string ReadProfile(const std::string& file, const std::string& section, const std::string& key);
void WriteProfile(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value);
void DeleteWindowsDirFile(const std::string& name);
// The whole file, or empty when it does not exist.
std::string ReadWholeFile(const std::string& path);

// Writes a group record as the default value of root\path\name (REG_BINARY); an
// empty record creates the key without a default value.
bool PutGroupRecord(HKEY root, const std::string& path, const std::string& name, const std::vector<uint8_t>& record);

// The three registry places groups are read from: the machine's, the user's Unicode
// and the user's older key.
extern const char kMachineGroups[];
// ASCII letters lowered: paths compared as the file system compares them.
std::string Lower(std::string text);

extern const char kUserGroups[];
extern const char kUserAnsiGroups[];
// Removes every group of all three places, so that a test sees only its own.
void ClearGroups();
// A group of the user's (the Unicode key), as the launcher reads it first.
bool PutUserGroup(const std::string& name, const std::vector<uint8_t>& record);

// Keys of HKEY_CLASSES_ROOT written by a test; the top keys it created are removed
// when the object goes, so that tests sharing one prefix do not see each other's.
class ClassKeys {
public:
    ClassKeys() = default;
    ~ClassKeys();
    ClassKeys(const ClassKeys&) = delete;
    ClassKeys& operator=(const ClassKeys&) = delete;
    // Creates path and, unless valueType is REG_NONE, sets its default value.
    bool Put(const std::string& path, const std::string& value = "", DWORD valueType = REG_SZ);

private:
    std::set<std::string> m_created;
};

// Top-level windows of a process (visible or not).
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
std::string ClassNameOf(HWND hWnd);
std::string TextOf(HWND hWnd);

// A started copy of an executable; closes it by force if a test leaves it running.
class RunningProcess {
public:
    explicit RunningProcess(const std::string& exePath);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    bool Started() const { return m_pi.hProcess != nullptr; }
    DWORD Id() const { return m_pi.dwProcessId; }
    // Waits until the process shows an enabled window of this class; null on time-out.
    HWND WaitForWindow(const std::string& classPrefix, DWORD timeoutMs = 20000) const;
    // Waits until the launcher has shown its bar and minimised its Set Up dialog, as its
    // start-up ends; returns the bar, or null when that does not happen.
    HWND WaitForLauncherStarted() const;
    // Posts WM_CLOSE to every top-level window of the process, as a user closing it would.
    void CloseWindows() const;
    // True when the process ended within the time; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;

private:
    PROCESS_INFORMATION m_pi = {};
};

// The launcher under test: $QUILLBAR_EXE, a Unix path, seen through Wine's Z: drive.
std::string LauncherPath();
// Turns a Unix path into the Windows path Wine maps it to.
std::string WinePathOf(const std::string& unixPath);

// Polls a condition until it holds or the time is up; returns its last value.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);

// Saves the screen as <name>.bmp in the folder named by $QUILLBAR_SCREENSHOTS (a Unix
// path); does nothing when it is not set. Returns false when saving failed.
bool SaveScreenshot(const std::string& name);

// True for "hh:mm:ss on Mmm dd yyyy", the build stamp the About box shows.
bool IsBuildStamp(const std::string& text);

// The colour of a screen pixel.
COLORREF ScreenPixel(int x, int y);

// The process's GDI or USER object count (GR_GDIOBJECTS, GR_USEROBJECTS). Where the
// platform does not implement GetGuiResources (Wine), GDI objects are counted in the
// process's GDI handle table and USER objects as the windows of this thread.
DWORD GuiObjectCount(DWORD kind);

// The number of handles the process holds.
DWORD ProcessHandleCount();

// Serves the thread's messages for a while (for windows created in the test thread).
void PumpMessages(DWORD milliseconds);

// Real mouse input (SendInput); a move goes to `at` in screen pixels.
void SendMouse(DWORD flags, POINT at = {0, 0});
// Moves the pointer and waits until the display agrees twice in a row: a click sent
// earlier would land wherever the display last reported the pointer. False when it never did.
bool MoveTo(POINT at);

// Closes a message box of this thread from inside its own message loop, noting what it
// said in g_errorBox: run CloseErrorBox on a thread timer around the call that shows it.
struct ErrorBox {
    int seen = 0;
    std::string caption, text;
};
extern ErrorBox g_errorBox;
void CALLBACK CloseErrorBox(HWND, UINT, UINT_PTR, DWORD);

}  // namespace testing_support
