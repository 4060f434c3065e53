// Holds a test run's Wine desktop open. Wine closes a virtual desktop, and ends the
// explorer that draws it, one second after the last program on it ends; a program that
// starts in that moment can land on the desktop being closed, and every start after a
// pause pays for a new explorer. Started once per prefix, it waits until the prefix's
// server ends it, and is on the desktop all the while: loading user32 joins it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    GetDesktopWindow();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
