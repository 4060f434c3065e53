// The one application object and the program's entry point.
#include "app/launch_app.h"

#include <windows.h>

static CLaunchApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    return fw::RunApplication(hInstance, nCmdShow);
}
