// Waits for a running launcher's button window and posts it the commands named on the
// command line, one after another, as any other program may. For the end-to-end runs
// whose commands end the whole session, where no test can stay in the same session.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

BOOL CALLBACK FindBar(HWND hWnd, LPARAM lParam)
{
    char name[64] = {};
    GetClassNameA(hWnd, name, sizeof name);
    if (std::strncmp(name, "Qlb:", 4) != 0)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

}  // namespace

int main(int argc, char** argv)
{
    HWND bar = nullptr;
    for (int tries = 0; tries < 200 && !bar; ++tries) {
        EnumWindows(FindBar, reinterpret_cast<LPARAM>(&bar));
        if (!bar)
            Sleep(100);
    }
    if (!bar) {
        std::fprintf(stderr, "post_command: no launcher window\n");
        return 1;
    }
    Sleep(500);  // let the launcher reach its message loop
    for (int i = 1; i < argc; ++i) {
        const unsigned long id = std::strtoul(argv[i], nullptr, 10);
        if (!PostMessageA(bar, WM_COMMAND, static_cast<WPARAM>(id), 0)) {
            std::fprintf(stderr, "post_command: posting %lu failed\n", id);
            return 1;
        }
        Sleep(300);
    }
    return 0;
}
