#include "tests/support/real_input.h"

#include <cctype>

namespace testing_support {

void Click(POINT at)
{
    MoveTo(at);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(60);
    SendMouse(MOUSEEVENTF_LEFTUP);
    Sleep(150);
}

void DoubleClick(POINT at)
{
    MoveTo(at);
    for (int i = 0; i < 2; ++i) {
        SendMouse(MOUSEEVENTF_LEFTDOWN);
        Sleep(30);
        SendMouse(MOUSEEVENTF_LEFTUP);
        Sleep(30);
    }
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

void Chord(const WORD* modifiers, int count, WORD key)
{
    for (int i = 0; i < count; ++i)
        SendKey(modifiers[i], false);
    Tap(key);
    for (int i = count - 1; i >= 0; --i)
        SendKey(modifiers[i], true);
    Sleep(100);
}

void TypeText(const char* text)
{
    for (; *text; ++text)
        Tap(static_cast<WORD>(std::toupper(static_cast<unsigned char>(*text))));
}

POINT CentreOf(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

}  // namespace testing_support
