// The button window's 100 ms timer, decided without the platform: whether to hold off
// the screen saver, and whether to activate, hide or pop up the window (with the group
// GroupUp picks and where the window goes). CButtonBarWnd::OnTimer reads the cursor,
// the screen, the window and the keys, asks Decide, and carries the answer out.
#pragma once

#include "buttonbar/geometry.h"

#include <cstdint>

// A rectangle in screen coordinates, right and bottom excluded.
struct IntRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// The monitors other than the primary, as many as the timer looks at; a fixed array, so
// that the 100 ms tick allocates nothing.
struct OtherMonitors {
    static constexpr int kMax = 16;
    IntRect rects[kMax] = {};
    int count = 0;
};

constexpr uint32_t kSaverCheckTicks = 10;  // the hold-off runs on every 11th tick
constexpr uint32_t kEdgeRestTicks = 4;     // the fifth tick on an edge pops the window up
constexpr int kWindowSlack = 2;            // the window counts 2 pixels wider and higher

struct TimerInput {
    IntPoint cursor;
    IntSize screen;                                   // the primary monitor, at 0,0
    const OtherMonitors* otherMonitors = nullptr;     // none or empty: one monitor
    IntRect window;  // GetWindowRect
    int popupMode = 0;
    bool menuOpen = false;
    bool hotKeys = false;  // Shift, Ctrl and Alt all down
    bool shown = false;    // m_nCmdShow not 0
    bool stopSaver = false;
    uint32_t saverTicks = 0;
    uint32_t edgeTicks = 0;
    int groupCount = 0;
    int group = 0;
};

enum class SaverAction { None, Refresh, HideTitle };
enum class WindowAction { None, Activate, Hide, Show };

struct TimerDecision {
    SaverAction saver = SaverAction::None;
    uint32_t saverTicks = 0;
    uint32_t edgeTicks = 0;
    WindowAction window = WindowAction::None;
    // Show only:
    int group = -1;              // the group GroupUp chose when it differs from the current one
    bool activate = false;       // shown active (hot keys) rather than without activation
    IntPoint topLeft = {0, 0};   // for the window's size as given; recompute after a group change
};

// The cursor is on an edge of the primary monitor (corners included): on its outermost
// rows or columns, where the pointer can go no further. Where another monitor continues
// the primary beyond an edge, the pointer passes on across it, so that stretch of the
// edge does not count; a cursor on another monitor is never on an edge.
bool OnScreenEdge(IntPoint cursor, IntSize screen, const OtherMonitors& otherMonitors = {});
// The cursor lies on the window rectangle widened by the slack to the right and below.
bool OnWindow(IntPoint cursor, const IntRect& window);
// GroupUp: the group for a cursor on an edge, each edge split into equal parts in list
// order; -1 with no groups.
int GroupAtEdge(IntPoint cursor, IntSize screen, int groupCount, const OtherMonitors& otherMonitors = {});

// A saved window rectangle moved, its size kept (up to kMaxExtent), to lie whole inside
// the work area (its left and top edges kept inside when it is larger).
IntRect MoveInside(const IntRect& rect, const IntRect& workArea);

TimerDecision DecideTimer(const TimerInput& input);

// Whether this tick's decision looks at the cursor and the window rectangle: not in Fixed
// mode or with the menu open, except on the screen-saver check's tick. Reading the cursor
// is what an idle tick costs most, so the timer skips it when nothing depends on it.
bool TimerNeedsCursor(int popupMode, bool menuOpen, bool stopSaver, uint32_t saverTicks);
