#include "tests/support/win_fixtures.h"

#include <cstdint>
#include <cstdlib>
#include <intrin.h>
#include <fstream>
#include <regex>
#include <sstream>

namespace testing_support {

std::string WindowsDirFile(const std::string& name)
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

std::string ReadProfile(const std::string& file, const std::string& section, const std::string& key)
{
    char buffer[512] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

void WriteProfile(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value)
{
    WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

void DeleteWindowsDirFile(const std::string& name)
{
    // Flush the profile cache before removing the file behind it.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, name.c_str());
    DeleteFileA(WindowsDirFile(name).c_str());
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool PutGroupRecord(HKEY root, const std::string& path, const std::string& name, const std::vector<uint8_t>& record)
{
    HKEY key = nullptr;
    std::string full = path + "\\" + name;
    if (RegCreateKeyExA(root, full.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = ERROR_SUCCESS;
    if (!record.empty())
        result = RegSetValueExA(key, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

const char kMachineGroups[] = "SOFTWARE\\Program Groups";
const char kUserGroups[] = "UNICODE Program Groups";
const char kUserAnsiGroups[] = "Program Groups";

void ClearGroups()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineGroups);
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserGroups);
    RegDeleteTreeA(HKEY_CURRENT_USER, kUserAnsiGroups);
}

bool PutUserGroup(const std::string& name, const std::vector<uint8_t>& record)
{
    return PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, name, record);
}

ClassKeys::~ClassKeys()
{
    for (const std::string& key : m_created)
        RegDeleteTreeA(HKEY_CLASSES_ROOT, key.c_str());
    for (const std::string& key : m_created)
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
}

bool ClassKeys::Put(const std::string& path, const std::string& value, DWORD valueType)
{
    const std::string top = path.substr(0, path.find('\\'));
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, top.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS)
        RegCloseKey(key);
    else
        m_created.insert(top);
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result = ERROR_SUCCESS;
    if (valueType != REG_NONE)
        result = RegSetValueExA(key, nullptr, 0, valueType, reinterpret_cast<const BYTE*>(value.c_str()),
                                static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

namespace {

struct EnumState {
    DWORD processId;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* state = reinterpret_cast<EnumState*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    if (owner == state->processId)
        state->windows.push_back(hWnd);
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    EnumState state{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

std::string ClassNameOf(HWND hWnd)
{
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return name;
}

std::string TextOf(HWND hWnd)
{
    // WM_GETTEXT itself: GetWindowText gives only the captions of another process's
    // windows, not the texts of its controls.
    char text[1024] = {};
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &copied))
        GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

RunningProcess::RunningProcess(const std::string& exePath)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    std::string commandLine = "\"" + exePath + "\"";
    if (!CreateProcessA(exePath.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &m_pi))
        m_pi = {};
}

RunningProcess::~RunningProcess()
{
    if (!m_pi.hProcess)
        return;
    if (WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_pi.hProcess, 99);
        WaitForSingleObject(m_pi.hProcess, 5000);
    }
    CloseHandle(m_pi.hThread);
    CloseHandle(m_pi.hProcess);
}

HWND RunningProcess::WaitForWindow(const std::string& classPrefix, DWORD timeoutMs) const
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        for (HWND hWnd : TopLevelWindowsOf(m_pi.dwProcessId)) {
            // The launcher's title popup is a disabled dialog: never the window a test waits for.
            if (ClassNameOf(hWnd).compare(0, classPrefix.size(), classPrefix) == 0 && IsWindowEnabled(hWnd))
                return hWnd;
        }
        if (WaitForSingleObject(m_pi.hProcess, 50) != WAIT_TIMEOUT)
            return nullptr;
    }
    return nullptr;
}

HWND RunningProcess::WaitForLauncherStarted() const
{
    HWND bar = WaitForWindow("Qlb:");
    HWND dialog = WaitForWindow("#32770");
    if (!bar || !dialog || !WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }))
        return nullptr;
    Sleep(300);  // past the last steps of start-up
    return bar;
}

void RunningProcess::CloseWindows() const
{
    for (HWND hWnd : TopLevelWindowsOf(m_pi.dwProcessId))
        PostMessageA(hWnd, WM_CLOSE, 0, 0);
}

bool RunningProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const
{
    if (WaitForSingleObject(m_pi.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    if (exitCode)
        GetExitCodeProcess(m_pi.hProcess, exitCode);
    return true;
}

std::string WinePathOf(const std::string& unixPath)
{
    if (unixPath.empty() || unixPath[0] != '/')
        return unixPath;
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/')
            c = '\\';
    }
    return path;
}

std::string LauncherPath()
{
    const char* exe = std::getenv("QUILLBAR_EXE");
    return exe ? WinePathOf(exe) : std::string();
}

namespace {

// Wine keeps a table of 0x10000 entries of 24 bytes at PEB + 0xF8 (64-bit); an entry's
// type byte, at offset 14, is 0 when the entry is free.
DWORD CountGdiHandleTable()
{
#if defined(_WIN64)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // the compiler takes the segment offset for a pointer
    const auto* peb = reinterpret_cast<const uint8_t*>(__readgsqword(0x60));
#pragma GCC diagnostic pop
    const auto* table = *reinterpret_cast<const uint8_t* const*>(peb + 0xF8);
    if (!table)
        return 0;
    DWORD count = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        count += table[i * 24 + 14] != 0;
    return count;
#else
    return 0;
#endif
}

BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam)
{
    ++*reinterpret_cast<DWORD*>(lParam);
    EnumChildWindows(hWnd, CountWindow, lParam);
    return TRUE;
}

}  // namespace

DWORD GuiObjectCount(DWORD kind)
{
    SetLastError(0);
    DWORD count = GetGuiResources(GetCurrentProcess(), kind);
    if (count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return count;
    if (kind == GR_GDIOBJECTS)
        return CountGdiHandleTable();
    DWORD windows = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= timeoutMs)
            return condition();
        Sleep(20);
    }
    return true;
}

bool IsBuildStamp(const std::string& text)
{
    static const std::regex stamp("[0-2][0-9]:[0-5][0-9]:[0-6][0-9] on [A-Z][a-z]{2} [ 1-3][0-9] [0-9]{4}");
    return std::regex_match(text, stamp);
}

bool SaveScreenshot(const std::string& name)
{
    const char* dir = std::getenv("QUILLBAR_SCREENSHOTS");
    if (!dir)
        return true;
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::string pixels(stride * static_cast<DWORD>(height), '\0');
    int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
                         reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return false;

    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(WinePathOf(std::string(dir) + "/" + name + ".bmp"), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

COLORREF ScreenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return color;
}

DWORD ProcessHandleCount()
{
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return count;
}

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    MSG msg;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
}

void SendMouse(DWORD flags, POINT at)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_MOVE) {
        input.mi.dwFlags |= MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = (at.x * 65536 + 32768) / GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy = (at.y * 65536 + 32768) / GetSystemMetrics(SM_CYSCREEN);
    }
    SendInput(1, &input, sizeof input);
}

bool MoveTo(POINT at)
{
    for (int tries = 0; tries < 20; ++tries) {
        SendMouse(MOUSEEVENTF_MOVE, at);
        Sleep(40);
        POINT now = {-1, -1};
        GetCursorPos(&now);
        if (now.x == at.x && now.y == at.y) {
            Sleep(40);
            GetCursorPos(&now);
            if (now.x == at.x && now.y == at.y)
                return true;
        }
    }
    return false;
}

ErrorBox g_errorBox;

namespace {

BOOL CALLBACK CloseBoxOfThread(HWND hWnd, LPARAM)
{
    if (ClassNameOf(hWnd) != "#32770" || !IsWindowVisible(hWnd))
        return TRUE;
    ++g_errorBox.seen;
    g_errorBox.caption = TextOf(hWnd);
    g_errorBox.text = TextOf(GetDlgItem(hWnd, 0xFFFF));
    PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
    return FALSE;
}

}  // namespace

void CALLBACK CloseErrorBox(HWND, UINT, UINT_PTR, DWORD)
{
    EnumThreadWindows(GetCurrentThreadId(), CloseBoxOfThread, 0);
}

std::string Lower(std::string text)
{
    for (char& ch : text)
        if (ch >= 'A' && ch <= 'Z')
            ch = static_cast<char>(ch - 'A' + 'a');
    return text;
}

}  // namespace testing_support
