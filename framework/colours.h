// The fixed colours of the launcher's drawing: buttons, spin arrows, the title popup and
// the icon strip keep their look whatever the colour scheme. The title strip alone takes
// the system's caption colours.
#pragma once

#include <windows.h>

namespace fw {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);
constexpr COLORREF kDarkGrey = RGB(64, 64, 64);
constexpr COLORREF kYellow = RGB(255, 255, 0);
// A raised button's shadow: deliberately not a pure grey.
constexpr COLORREF kEdgeShadow = RGB(128, 125, 128);

}  // namespace fw
