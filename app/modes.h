// The settings' mode and position codes. The modes are stored as the ids of the Set Up
// dialog's radio buttons. Pure: included by platform and host code alike.
#pragma once

constexpr int POPUP_FIXED = 10100;
constexpr int POPUP_POPUP = 10101;
constexpr int POPUP_GROUPUP = 10102;
constexpr int TITLE_HORIZONTAL = 10000;
constexpr int TITLE_VERTICAL = 10001;
constexpr int TITLE_NOTHING = 10002;
constexpr int POPUPTITLE_DISABLE = 401;
constexpr int POPUPTITLE_ACTIVE = 402;
constexpr int POPUPTITLE_ALWAYS = 403;

// Screen position codes of the button window.
constexpr int POSITION_FREE = 600;
constexpr int POSITION_TOP_LEFT = 601;
constexpr int POSITION_TOP_CENTRE = 602;
constexpr int POSITION_TOP_RIGHT = 603;
constexpr int POSITION_BOTTOM_LEFT = 604;
constexpr int POSITION_BOTTOM_CENTRE = 605;
constexpr int POSITION_BOTTOM_RIGHT = 606;
