// The one application object and the program's entry point.
#include "app/launch_app.h"
#include "framework/step_marks.h"

#include <windows.h>

static CLaunchApp theApp;

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nCmdShow)
{
    QL_MARK_STEP("process start to WinMain");
    return fw::RunApplication(hInstance, nCmdShow);
}
