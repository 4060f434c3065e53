#include "framework/app_base.h"

#include "framework/window.h"

#include <vector>

namespace fw {

Application* Application::s_pCurrent = nullptr;

Application::Application() { s_pCurrent = this; }

Application::~Application()
{
    Release3dControls();
    if (m_hbrDialogBk)
        DeleteObject(m_hbrDialogBk);
    // Windows that outlive the object (the process is ending) must not reach it any more.
    if (s_pCurrent == this)
        s_pCurrent = nullptr;
}

namespace {

// The module's full path, however long; empty when it cannot be read.
std::string ModuleFileName(HINSTANCE hInstance)
{
    std::vector<char> path(MAX_PATH);
    for (;;) {
        DWORD len = GetModuleFileNameA(hInstance, path.data(), static_cast<DWORD>(path.size()));
        if (len == 0)
            return std::string();
        if (len < path.size() - 1)
            return std::string(path.data(), len);
        if (path.size() >= 32768)
            return std::string();
        path.resize(path.size() * 2);
    }
}

// Where a path's last component begins, and the dot of its extension (npos: none). Walks
// the ANSI code page's characters: a trail byte may equal '\\' or '.'.
struct NameInPath {
    size_t name = 0;
    size_t dot = std::string::npos;
};

NameInPath FindName(const std::string& path)
{
    NameInPath found;
    for (const char* p = path.c_str(); *p; p = CharNextA(p)) {
        const size_t at = static_cast<size_t>(p - path.c_str());
        if (*p == '\\' || *p == '/' || *p == ':') {
            found.name = at + 1;
            found.dot = std::string::npos;
        } else if (*p == '.') {
            found.dot = at;
        }
    }
    return found;
}

}  // namespace

void Application::Attach(HINSTANCE hInstance, int nCmdShow)
{
    m_hInstance = hInstance;
    m_nCmdShow = nCmdShow;
    m_strExeName = BaseNameOfPath(ModuleFileName(hInstance));
    m_strProfileName = m_strExeName + ".INI";
}

int Application::Run()
{
    MSG msg = {};
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    QuitTaken();
    m_nExitCode = msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
    return ExitInstance();
}

void Application::PostQuit(int nExitCode)
{
    if (m_bQuitPosted)
        return;
    m_bQuitPosted = true;
    PostQuitMessage(nExitCode);
}

void Application::RepostQuit(int nExitCode)
{
    if (Application* app = Current())
        app->QuitTaken();
    Quit(nExitCode);
}

void Application::Quit(int nExitCode)
{
    if (Application* app = Current())
        app->PostQuit(nExitCode);
    else
        PostQuitMessage(nExitCode);
}

int Application::ExitInstance()
{
    Release3dControls();
    return m_nExitCode;
}

void Application::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (m_nWaitCursorCount > 0) {
        HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
        if (nCode > 0 && m_nWaitCursorCount == 1)
            m_hcurRestore = previous;
    } else {
        m_nWaitCursorCount = 0;
        SetCursor(m_hcurRestore);
    }
}

std::string Application::LoadResString(UINT nID) const
{
    // LoadStringA cannot report the length, so grow until the text fits with room to spare.
    std::vector<char> buffer(256);
    for (;;) {
        int len = LoadStringA(m_hInstance, nID, buffer.data(), static_cast<int>(buffer.size()));
        if (len <= 0)
            return std::string();
        if (static_cast<size_t>(len) < buffer.size() - 1 || buffer.size() >= 65536)
            return std::string(buffer.data(), static_cast<size_t>(len));
        buffer.resize(buffer.size() * 4);
    }
}

std::string Application::HelpFilePath() const
{
    std::string full = ModuleFileName(m_hInstance);
    if (full.empty())
        return full;
    const size_t dot = FindName(full).dot;
    if (dot != std::string::npos)
        full.erase(dot);
    return full + ".HLP";
}

std::string Application::SiblingPath(const char* fileName) const
{
    std::string full = ModuleFileName(m_hInstance);
    if (full.empty())
        return full;
    full.erase(FindName(full).name);
    return full + fileName;
}

BOOL Application::WinHelp(DWORD_PTR dwData, UINT nCmd)
{
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    const std::string file = HelpFilePath();
    // Today's Windows has no viewer for this kind of help file: a missing file is told
    // here, plainly, instead of starting a help engine that can only complain.
    bool launched = !file.empty() && GetFileAttributesA(file.c_str()) != INVALID_FILE_ATTRIBUTES &&
                    ::WinHelpA(owner, file.c_str(), nCmd, dwData);
    if (launched)
        return TRUE;
    char caption[256] = {};
    if (owner)
        GetWindowTextA(owner, caption, sizeof caption);
    MessageBoxA(owner, LoadResString(kHelpFailedString).c_str(), caption[0] ? caption : m_strExeName.c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return FALSE;
}

BOOL Application::Enable3dControls()
{
    if (m_hCtl3d)
        return TRUE;
    // Today's Windows ships no such library: a file of its name in the program's folder
    // or the current directory would be someone else's.
    HMODULE module = LoadSystemLibrary("CTL3D32.DLL");
    if (!module)
        return FALSE;
    using RegisterFn = BOOL(WINAPI*)(HINSTANCE);
    auto reg = reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(module, "Ctl3dRegister")));
    auto autoSubclass =
        reinterpret_cast<RegisterFn>(reinterpret_cast<void*>(GetProcAddress(module, "Ctl3dAutoSubclass")));
    if (!reg || !autoSubclass || !reg(m_hInstance)) {
        FreeLibrary(module);
        return FALSE;
    }
    m_hCtl3d = module;
    if (!autoSubclass(m_hInstance)) {
        Release3dControls();
        return FALSE;
    }
    return TRUE;
}

void Application::Release3dControls()
{
    if (!m_hCtl3d)
        return;
    using UnregisterFn = BOOL(WINAPI*)(HINSTANCE);
    auto unreg = reinterpret_cast<UnregisterFn>(
        reinterpret_cast<void*>(GetProcAddress(m_hCtl3d, "Ctl3dUnregister")));
    if (unreg)
        unreg(m_hInstance);
    FreeLibrary(m_hCtl3d);
    m_hCtl3d = nullptr;
}

void Application::SetDialogBkColor(COLORREF clrCtlBk, COLORREF clrCtlText)
{
    HBRUSH brush = CreateSolidBrush(clrCtlBk);
    if (!brush)
        return;
    if (m_hbrDialogBk)
        DeleteObject(m_hbrDialogBk);
    m_hbrDialogBk = brush;
    m_clrDialogBk = clrCtlBk;
    m_clrDialogText = clrCtlText;
}

HBRUSH Application::CtlColor(HDC hdc, UINT nCtlColor) const
{
    if (!m_hbrDialogBk)
        return nullptr;
    switch (nCtlColor) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORMSGBOX:
        SetBkColor(hdc, m_clrDialogBk);
        SetTextColor(hdc, m_clrDialogText);
        return m_hbrDialogBk;
    default:
        return nullptr;
    }
}

std::string BaseNameOfPath(const std::string& path)
{
    const NameInPath found = FindName(path);
    return path.substr(found.name, found.dot == std::string::npos ? std::string::npos : found.dot - found.name);
}

HMODULE LoadSystemLibrary(const char* name)
{
    HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Vista and 7 without their loader update refuse the flag; a full path searches nowhere.
    if (module || GetLastError() != ERROR_INVALID_PARAMETER)
        return module;
    char path[2 * MAX_PATH];
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || lstrlenA(name) >= MAX_PATH - 1)
        return nullptr;
    path[length] = '\\';
    lstrcpyA(path + length + 1, name);
    return LoadLibraryA(path);
}

void KeepCurrentDirectoryOutOfDllSearch()
{
    // A folder named here takes the current directory's place in the search. Windows reads
    // an empty name the same way, but not every implementation of its interface does; the
    // system directory, which is searched anyway, serves everywhere.
    char directory[MAX_PATH];
    const UINT length = GetSystemDirectoryA(directory, MAX_PATH);
    SetDllDirectoryA(length > 0 && length < MAX_PATH ? directory : "");
}

int RunApplication(HINSTANCE hInstance, int nCmdShow)
{
    Application* app = Application::Current();
    if (!app)
        return -1;
    app->Attach(hInstance, nCmdShow);
    if (!app->InitInstance())
        return app->ExitInstance();
    return app->Run();
}

WaitCursor::WaitCursor()
{
    if (Application* app = Application::Current())
        app->DoWaitCursor(1);
}

WaitCursor::~WaitCursor()
{
    if (Application* app = Application::Current())
        app->DoWaitCursor(-1);
}

}  // namespace fw
