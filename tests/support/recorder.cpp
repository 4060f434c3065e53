// A program for launch tests to start. Each start appends one block to the file named
// by QUILLBAR_RECORDER_LOG (nothing when it is unset):
//   cmdline=<command line>
//   cwd=<current directory>
//   show=<show command of the start, or -1 when none was given>
//   end
// It shows no window and ends at once, so a start that waits for it to be idle returns quickly.
// With the argument --slow it then makes a window and sleeps 8 s before it reads messages:
// a program slow to become idle.
#include <windows.h>

#include <cstring>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char log[MAX_PATH * 4] = {};
    const DWORD length = GetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", log, sizeof log);
    if (length == 0 || length >= sizeof log)
        return 0;

    char directory[MAX_PATH * 4] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    const std::string block = std::string("cmdline=") + GetCommandLineA() + "\r\ncwd=" + directory +
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
