// Keyboard and menu rules of the button window that only compute: where the arrow
// keys, Home and End put the pointer, which group Page Up and Page Down choose, the
// labels of the group menu, and how the menu's message filter rewrites the mouse
// messages of a menu opened with the right button. Pure code; CButtonBarWnd asks it.
#pragma once

#include "buttonbar/geometry.h"

#include <cstdint>
#include <string>

enum class ArrowKey { Left, Up, Right, Down };

// Centre of the first cell, in grid coordinates (Home).
IntPoint HomeCellCentre(const ButtonLayout& layout);
// Centre of the last item's cell, in grid coordinates (End); the first cell when the
// group is empty.
IntPoint EndCellCentre(const ButtonLayout& layout);

// Centre of the cell the pointer moves to from the button `start` (which must be a
// button of the layout), in grid coordinates. gridArea is the client area without the
// strip: positions past it wrap to the first row or column. Movement wraps within the
// row or column and passes over cells without an item.
IntPoint ArrowKeyTarget(const ButtonLayout& layout, const ButtonAtPoint& start, ArrowKey key, IntSize gridArea);

// Page Up and Page Down: the group before or after `current` among `count`, wrapping
// round; -1 when there is no group at all (nothing is to change then).
int PreviousGroup(int current, size_t count);
int NextGroup(int current, size_t count);

// The group menu entry for group number `number` (1-based): its number with the
// mnemonic on the last digit, a colon, then the name, with the name's own ampersands
// doubled so that they show as written.
std::string GroupMenuLabel(unsigned number, const std::string& name);

// The menu's message filter for a menu opened with the right button. Phases: 0 just
// opened, 1 first movement seen, 2 normal tracking.
constexpr unsigned kMsgMouseMove = 0x0200;
constexpr unsigned kMsgLButtonDown = 0x0201;
constexpr unsigned kMsgLButtonUp = 0x0202;
constexpr unsigned kMsgRButtonDown = 0x0204;
constexpr unsigned kMsgRButtonUp = 0x0205;
// How long after opening a movement may count as the press that starts a drag.
constexpr uint32_t kMenuDragDelayMs = 250;

struct MenuFilterDecision {
    unsigned message;    // the message the menu is to see
    bool atMenuPoint;    // its point becomes the point where the menu was opened
    uint16_t phase;      // the phase from now on
    bool Changed(unsigned original) const { return message != original || atMenuPoint; }
};
MenuFilterDecision FilterMenuMessage(unsigned message, uint16_t phase, uint32_t msSinceOpened);
