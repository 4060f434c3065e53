// Real input into the desktop that the test shares with the launcher, as a user gives
// it: the pointer moved (and waited for), clicks and keys, all through SendInput.
#pragma once

#include <windows.h>

namespace testing_support {

// One mouse event; a move goes to this absolute screen point.
void SendMouse(DWORD flags, POINT at = {0, 0});
// Moves the pointer and waits until the desktop agrees: a click sent earlier would land
// wherever the display last reported the pointer.
void MoveTo(POINT at);
// A left click at this screen point.
void Click(POINT at);
void SendKey(WORD key, bool up);
// Presses and releases a key.
void Tap(WORD key);

}  // namespace testing_support
