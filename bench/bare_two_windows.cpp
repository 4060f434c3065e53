// The yardstick for the launcher's start-up and memory: the same two windows with the least
// work the platform needs for them. A bordered popup window with a 100 ms timer, shown and
// painted, and a modeless dialog from the launcher's own Set Up template, minimised at once;
// then it waits for input until it is closed.
#include "framework/step_marks.h"
#include "resource.h"

#include <windows.h>

namespace {

LRESULT CALLBACK BarProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

INT_PTR CALLBACK SetupProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    QL_MARK_STEP("process start to WinMain");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = BarProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = "QuillbarBareBar";
    RegisterClassA(&wc);
    HWND bar = CreateWindowExA(0, wc.lpszClassName, "bar", WS_POPUP | WS_BORDER, 0, 0, 400, 40, nullptr, nullptr,
                               instance, nullptr);
    SetTimer(bar, 1, 100, nullptr);
    QL_MARK_STEP("popup window, hidden");
    ShowWindow(bar, SW_SHOWNORMAL);
    UpdateWindow(bar);
    QL_MARK_STEP("show and paint the popup");
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), nullptr, SetupProc, 0);
    ShowWindow(dialog, SW_MINIMIZE);
    QL_MARK_STEP("dialog created, minimised");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return 0;
}
