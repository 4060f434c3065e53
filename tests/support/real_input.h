// Real mouse and keyboard input for tests, through SendInput into the desktop the test
// shares with the windows under test.
#pragma once

#include "tests/support/win_fixtures.h"

#include <windows.h>

namespace testing_support {

// SendMouse and MoveTo come from win_fixtures.h.
// Moves there, then presses and releases the left button.
void Click(POINT at);
// Two clicks within the double-click time.
void DoubleClick(POINT at);
void SendKey(WORD key, bool up);
// Presses and releases a key.
void Tap(WORD key);
// Presses the modifiers in order, taps the key, and releases them in reverse.
void Chord(const WORD* modifiers, int count, WORD key);
// Types decimal digits and letters as keys.
void TypeText(const char* text);
// The centre of a window on the screen.
POINT CentreOf(HWND hWnd);

}  // namespace testing_support
