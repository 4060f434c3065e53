#include "tests/support/real_input.h"

namespace testing_support {

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

void MoveTo(POINT at)
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
                return;
        }
    }
}

void Click(POINT at)
{
    MoveTo(at);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

void SendKey(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
    Sleep(40);
}

void Tap(WORD key)
{
    SendKey(key, false);
    SendKey(key, true);
    Sleep(150);
}

}  // namespace testing_support
