// A program for launch tests to start. Each start appends one block to the file named
// by QUILLBAR_RECORDER_LOG (nothing when it is unset):
//   cmdline=<command line, from its wide form, in UTF-8>
//   cwd=<current directory, the same>
//   show=<show command of the start, or -1 when none was given>
//   end
// It shows no window and ends at once, so a start that waits for it to be idle returns quickly.
// With the argument --slow it then makes a window and sleeps 8 s before it reads messages:
// a program slow to become idle.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

// UTF-8, whatever the code page: what arrived is logged as it arrived.
std::string Utf8(const wchar_t* text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], bytes, nullptr, nullptr);
    out.pop_back();
    return out;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH * 4] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", log, sizeof log);
    if (length == 0 || length >= sizeof log)
        return 0;

    wchar_t directory[MAX_PATH * 4] = {};
    GetCurrentDirectoryW(MAX_PATH * 4, directory);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    const std::string block = "cmdline=" + Utf8(GetCommandLineW()) + "\r\ncwd=" + Utf8(directory) +
                              "\r\nshow=" + std::to_string(show) + "\r\nend\r\n";
    // Readers may have the file open. Starts that overlap (the launcher does not wait for
    // them) take turns: under Wine two appends at once can land on the same place.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int tries = 0; file == INVALID_HANDLE_VALUE && tries < 500; ++tries) {
        file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
    CloseHandle(file);
    if (std::strstr(GetCommandLineA(), " --slow")) {
        CreateWindowA("STATIC", "slow recorder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        Sleep(8000);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return 0;
}
