// The yardstick for the launcher's idle cost: a hidden window that runs a 100 ms timer and
// nothing else, until it is closed.
#include <windows.h>

namespace {

LRESULT CALLBACK IdleProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hWnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = IdleProc;
    wc.hInstance = instance;
    wc.lpszClassName = "QuillbarIdleTimer";
    RegisterClassA(&wc);
    HWND hWnd = CreateWindowExA(0, wc.lpszClassName, "idle", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, instance,
                                nullptr);
    SetTimer(hWnd, 1, 100, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
