// Drawing one button of the button window: its raised or pressed edge and its black
// outline with cut corners. (x, y) is the client position of the image's top-left
// corner; `button` the button size as the geometry uses it (EffectiveButtonSize). Each
// call makes its own pens and releases them. CLaunchApp's Draw* members call these.
#pragma once

#include "buttonbar/geometry.h"

#include <windows.h>

// A white band above and left of the image, a shadow below and right.
void DrawRaisedButtonEdge(HDC hdc, int x, int y, IntSize button);
// A grey band above and left, a light grey one just inside it.
void DrawPressedButtonEdge(HDC hdc, int x, int y, IntSize button);
// An octagon kImageInset pixels outside the image, corners cut by 2 pixels.
void DrawButtonOutlineAt(HDC hdc, int x, int y, IntSize button);
