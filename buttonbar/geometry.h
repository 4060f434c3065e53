// Geometry of the button window: the title strip and the offset it causes, the cell
// pitch, the window size that follows from the number of items, the button under a
// point, and where the window goes on the screen. Pure code; CButtonBarWnd (painting,
// mouse, keys, timer, title popup) and CLaunchApp's sizing and placement ask it.
//
// W, H, M and n are used as read, except where a value would break the arithmetic: a
// button width or height below 0 counts as 0 and one above kMaxExtent as kMaxExtent, so
// the pitch W + 6 or H + 6, which divides, is always at least 6; fewer than 1 button in
// a row counts as 1. The settings themselves are not changed.
//
// Everything is computed in 64 bits. Window sizes and the strip thickness are kept
// within 0..kMaxExtent and every other result within the int range, so that no value
// from an edited settings file can make a result wrap.
#pragma once

#include <cstdint>

struct IntPoint {
    int x;
    int y;
};

struct IntSize {
    int cx;
    int cy;
};

// No screen comes near this many pixels; sizes stop here, so that a sum of a few of
// them stays well inside int.
constexpr int kMaxExtent = 32767;

// The 3 pixels around an image hold the 2-pixel edge and the 1-pixel outline.
constexpr int kImageInset = 3;
constexpr int kCellMargin = 2 * kImageInset;  // pitch = button size + 6

// What the geometry reads: the settings and the size of the current group.
struct ButtonLayout {
    int buttonWidth = 0;    // W, m_nButtonWidth
    int buttonHeight = 0;   // H, m_nButtonHeight
    int maxInLine = 1;      // M, m_nMaxInLine
    int itemCount = 0;      // n, items of the current group
    int titleMode = 0;      // m_nTitle: 10000 Horizontal, 10001 Vertical, otherwise none
    int captionHeight = 0;  // the system's caption height (SM_CYCAPTION)
};

inline bool operator==(const ButtonLayout& a, const ButtonLayout& b)
{
    return a.buttonWidth == b.buttonWidth && a.buttonHeight == b.buttonHeight && a.maxInLine == b.maxInLine &&
           a.itemCount == b.itemCount && a.titleMode == b.titleMode && a.captionHeight == b.captionHeight;
}

// A button width or height as the geometry uses it; see above.
int EffectiveButtonSize(int size);
// Buttons in one row as the geometry uses it: at least 1.
int EffectiveMaxInLine(int maxInLine);

// The cell pitch (W + 6, H + 6).
IntSize CellPitch(const ButtonLayout& layout);

// Strip thickness t: the caption plus the 1-pixel line below it.
int StripThickness(int captionHeight);
// Where the button grid begins in the client area: (t, 0) for the Vertical strip,
// (0, t) for the Horizontal one, (0, 0) without a strip.
IntPoint StripOffset(int titleMode, int thickness);
IntPoint StripOffset(const ButtonLayout& layout);

// Outer size of the window, its 1-pixel border included: the grid of min(M, n) columns
// and ceil(n / M) rows plus the strip, or one empty cell plus the strip when n is 0.
IntSize WindowSize(const ButtonLayout& layout);

// The button under a point. Each user has its own test; all take client coordinates and
// the strip offset, and none names an item that does not exist.
struct ButtonAtPoint {
    bool isButton = false;
    int index = 0;  // the rest only when isButton
    int column = 0;
    int row = 0;
};

// Hit test and title popup: inside the grid's columns and rows, and an existing item.
ButtonAtPoint HitTestButton(const ButtonLayout& layout, IntPoint offset, IntPoint client);

// Left-button press: the pressed item is kept in 16 bits, so an index that does not fit
// is not a button either (the wrapped value would name another item).
struct PressedButton {
    bool isButton = false;
    uint16_t index = 0;
};
PressedButton PressedButtonAt(const ButtonLayout& layout, IntPoint offset, IntPoint client);

// Arrow keys: the start button under the cursor, which must lie inside the client area
// (0, 0, clientSize) at or right of and below the strip offset; 16 bits as above.
ButtonAtPoint ArrowKeyStartButton(const ButtonLayout& layout, IntPoint offset, IntPoint client, IntSize clientSize);

// Top-left corner of the image of the cell that holds grid point `grid`, in grid
// coordinates. Points left of or above the grid give the cell there, outside the grid.
IntPoint ImageOrigin(const ButtonLayout& layout, IntPoint grid);
// Top-left corner of item `index`'s image, in grid coordinates.
IntPoint CellImageOrigin(const ButtonLayout& layout, int index);

// The cells of existing rows and columns that meet the grid rectangle [from, to) (right
// and bottom excluded), so that a paint costs what is seen, not what the group holds.
// A row may hold fewer than M items; the caller stops at the item count.
struct CellSpan {
    int firstRow = 0;
    int lastRow = -1;
    int firstColumn = 0;
    int lastColumn = -1;
    bool Empty() const { return firstRow > lastRow || firstColumn > lastColumn; }
};
CellSpan CellsMeeting(const ButtonLayout& layout, IntPoint from, IntPoint to);

// Cells in the icon strip: one per item, but the strip is no wider than kMaxExtent, like
// the window, so that a group of thousands of items costs a bounded bitmap and a bounded
// number of icons drawn. Items past the last cell show their button without an image.
int IconStripCells(const ButtonLayout& layout);

// The platform's drawing takes coordinates within 2^27; a button that far out lies
// outside every window, so its lines are drawn at that bound instead of wrapping round.
constexpr int kMaxDrawCoordinate = 1 << 27;
// origin + (dx, dy), computed in 64 bits and kept within +-kMaxDrawCoordinate: the points
// of a button's edge and outline for any image origin and button size.
IntPoint DrawPoint(IntPoint origin, int dx, int dy);

// Fixed mode: the top-left corner for position code 600 to 606, the window being `window`
// large (its current rectangle) on a `screen`. 600 (free) does not move the window; a
// code outside 600 to 606 moves it to (0, 0).
struct FixedPlacement {
    bool move = false;
    IntPoint topLeft = {0, 0};
};
FixedPlacement FixedPosition(int positionCode, IntSize window, IntSize screen);

// PopUp and GroupUp sizing: the window centred on the cursor, pushed back onto the
// screen at the right and bottom, then at the left and top.
IntPoint CentredOnCursor(IntPoint cursor, IntSize window, IntSize screen);

// The timer's pop-up: centred on the cursor; kept from passing the left and top edges,
// else aligned with the right or bottom edge once it reaches the last pixel.
IntPoint PopupPositionAtCursor(IntPoint cursor, IntSize window, IntSize screen);
