#include "buttonbar/geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>

namespace {

constexpr int kHorizontal = 10000;
constexpr int kVertical = 10001;
constexpr int kNoStrip = 10002;
constexpr int kNone = -1;  // not a button

using XY = std::pair<int, int>;

XY Of(IntPoint p) { return {p.x, p.y}; }
XY Of(IntSize s) { return {s.cx, s.cy}; }

ButtonLayout Layout(int W, int H, int M, int n, int title = kNoStrip, int caption = 18)
{
    ButtonLayout layout;
    layout.buttonWidth = W;
    layout.buttonHeight = H;
    layout.maxInLine = M;
    layout.itemCount = n;
    layout.titleMode = title;
    layout.captionHeight = caption;
    return layout;
}

IntSize ClientSize(const ButtonLayout& layout)
{
    const IntSize outer = WindowSize(layout);
    return {outer.cx - 2, outer.cy - 2};
}

int HitIndex(const ButtonLayout& layout, IntPoint client)
{
    const ButtonAtPoint hit = HitTestButton(layout, StripOffset(layout), client);
    return hit.isButton ? hit.index : kNone;
}

int PressIndex(const ButtonLayout& layout, IntPoint client)
{
    const PressedButton press = PressedButtonAt(layout, StripOffset(layout), client);
    return press.isButton ? press.index : kNone;
}

int ArrowIndex(const ButtonLayout& layout, IntPoint client, IntSize clientSize)
{
    const ButtonAtPoint start = ArrowKeyStartButton(layout, StripOffset(layout), client, clientSize);
    return start.isButton ? start.index : kNone;
}

}  // namespace

TEST(GeometryWindowSize, FollowsTheItemCountRowLengthAndStrip)
{
    const struct {
        const char* what;
        ButtonLayout layout;
        XY outer;
    } cases[] = {
        {"five items, three to a row", Layout(32, 32, 3, 5), {116, 78}},
        {"a full last row", Layout(32, 32, 3, 6), {116, 78}},
        {"fewer items than a row", Layout(32, 32, 3, 2), {78, 40}},
        {"one button per row", Layout(32, 32, 1, 3), {40, 116}},
        {"empty group, M 1", Layout(32, 32, 1, 0), {40, 40}},
        {"empty group, M 3", Layout(32, 32, 3, 0), {40, 40}},
        {"empty group, M 99", Layout(32, 32, 99, 0), {40, 40}},
        {"empty group, horizontal strip", Layout(32, 32, 3, 0, kHorizontal), {40, 59}},
        {"vertical strip", Layout(32, 32, 3, 5, kVertical), {135, 78}},
        {"horizontal strip", Layout(32, 32, 3, 5, kHorizontal), {116, 97}},
        {"1 x 1 buttons, pitch 7", Layout(1, 1, 3, 4), {23, 16}},
        {"0 x 0 buttons, pitch 6", Layout(0, 0, 2, 2), {14, 8}},
        {"buttons above 99 as read", Layout(150, 120, 2, 3), {314, 254}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.outer, Of(WindowSize(c.layout))) << c.what;
}

TEST(GeometryStrip, OffsetFollowsTheModeAndTheCaption)
{
    EXPECT_EQ(19, StripThickness(18));
    EXPECT_EQ(XY(19, 0), Of(StripOffset(kVertical, 19)));
    EXPECT_EQ(XY(0, 19), Of(StripOffset(kHorizontal, 19)));
    for (int mode : {kNoStrip, 0, 10003})
        EXPECT_EQ(XY(0, 0), Of(StripOffset(mode, 19))) << mode;

    // The vertical strip moves the grid to client x 19.
    const ButtonLayout layout = Layout(32, 32, 3, 5, kVertical);
    EXPECT_EQ(0, HitIndex(layout, {19, 0}));
    EXPECT_EQ(kNone, HitIndex(layout, {18, 0}));
    EXPECT_EQ(3, PressIndex(layout, {19, 38}));
    EXPECT_EQ(3, ArrowIndex(layout, {19, 38}, ClientSize(layout)));
}

TEST(GeometryPointToButton, ThreeTestsAgreeOnTheGridAndRejectEverythingElse)
{
    // Five 32 x 32 buttons, three to a row: client area 114 x 76.
    const ButtonLayout layout = Layout(32, 32, 3, 5);
    const IntSize client = ClientSize(layout);
    ASSERT_EQ(XY(114, 76), Of(client));
    const struct {
        IntPoint point;
        int index;
    } cases[] = {
        {{0, 0}, 0}, {{37, 37}, 0}, {{38, 0}, 1}, {{113, 37}, 2}, {{0, 38}, 3}, {{75, 75}, 4},
        {{80, 45}, kNone},   // row 1, column 2: item 5 exists only in the arithmetic
        {{113, 75}, kNone},  // the empty end of the last row
        {{114, 0}, kNone},   // right of the grid, on the border
        {{0, 76}, kNone},    // below the grid
        {{-1, 0}, kNone},    // truncation would make these column or row 0
        {{0, -1}, kNone},
        {{-40, 40}, kNone},  // column -1 of row 1: item 2 in the arithmetic
        {{INT_MIN, INT_MIN}, kNone},
        {{INT_MAX, INT_MAX}, kNone},
    };
    for (const auto& c : cases) {
        const auto& p = c.point;
        EXPECT_EQ(c.index, HitIndex(layout, p)) << p.x << "," << p.y;
        EXPECT_EQ(c.index, PressIndex(layout, p)) << p.x << "," << p.y;
        EXPECT_EQ(c.index, ArrowIndex(layout, p, client)) << p.x << "," << p.y;
    }

    const ButtonAtPoint hit = HitTestButton(layout, {0, 0}, {75, 75});
    EXPECT_EQ(XY(1, 1), XY(hit.column, hit.row));
    const ButtonAtPoint start = ArrowKeyStartButton(layout, {0, 0}, {113, 37}, client);
    EXPECT_EQ(XY(2, 0), XY(start.column, start.row));
}

TEST(GeometryPointToButton, StripPointsAreNeverButtons)
{
    // With 1-pixel buttons the strip is wider than a cell: a press at client (5, 10) is
    // column -2 of row 1 in the arithmetic, i.e. item 1.
    for (int mode : {kVertical, kHorizontal}) {
        const ButtonLayout layout = Layout(1, 1, 3, 9, mode);
        for (IntPoint p : {IntPoint{5, 10}, IntPoint{10, 5}, IntPoint{0, 0}, IntPoint{18, 18}}) {
            EXPECT_EQ(kNone, HitIndex(layout, p)) << mode;
            EXPECT_EQ(kNone, PressIndex(layout, p)) << mode;
            EXPECT_EQ(kNone, ArrowIndex(layout, p, ClientSize(layout))) << mode;
        }
    }
}

TEST(GeometryPointToButton, OnlyTheArrowKeysAreBoundByTheClientArea)
{
    const ButtonLayout layout = Layout(32, 32, 3, 5);
    EXPECT_EQ(2, HitIndex(layout, {80, 0}));
    EXPECT_EQ(2, PressIndex(layout, {80, 0}));
    EXPECT_EQ(kNone, ArrowIndex(layout, {80, 0}, {50, 76}));
    EXPECT_EQ(1, ArrowIndex(layout, {49, 0}, {50, 76}));
    // A client area wider than the grid offers no extra column (column 3 of row 0 would
    // be item 3 in the arithmetic).
    EXPECT_EQ(kNone, ArrowIndex(layout, {120, 0}, {200, 76}));
}

TEST(GeometryPointToButton, IndicesBeyond16BitsAreNotPressed)
{
    // 1000 buttons of 1 x 1 (pitch 7) to a row; row 70 starts at item 70000, which a
    // 16-bit index would wrap to item 4464.
    const ButtonLayout layout = Layout(1, 1, 1000, 70001);
    const IntSize huge = {INT_MAX, INT_MAX};
    EXPECT_EQ(70000, HitIndex(layout, {0, 70 * 7}));
    EXPECT_EQ(kNone, PressIndex(layout, {0, 70 * 7}));
    EXPECT_EQ(kNone, ArrowIndex(layout, {0, 70 * 7}, huge));
    // The last index that fits: row 65, column 535.
    EXPECT_EQ(65535, PressIndex(layout, {535 * 7, 65 * 7}));
    EXPECT_EQ(65535, ArrowIndex(layout, {535 * 7, 65 * 7}, huge));
}

TEST(GeometryImageOrigin, EveryCellPixelLeadsToItsItemsImage)
{
    for (const ButtonLayout& layout : {Layout(32, 32, 3, 5), Layout(1, 5, 4, 9), Layout(0, 40, 2, 3)}) {
        const IntSize pitch = CellPitch(layout);
        for (int i = 0; i < layout.itemCount; ++i) {
            const IntPoint origin = CellImageOrigin(layout, i);
            const IntPoint first = {origin.x - 3, origin.y - 3};
            const IntPoint last = {first.x + pitch.cx - 1, first.y + pitch.cy - 1};
            for (IntPoint p : {first, origin, last}) {
                EXPECT_EQ(Of(origin), Of(ImageOrigin(layout, p))) << i;
                EXPECT_EQ(i, HitIndex(layout, p)) << i;
            }
        }
    }
    EXPECT_EQ(XY(79, 41), Of(ImageOrigin(Layout(32, 32, 3, 5), {80, 45})));
    EXPECT_EQ(XY(10, 10), Of(CellImageOrigin(Layout(1, 1, 3, 5), 4)));
    // Left of and above the grid lies the cell before, not cell 0.
    EXPECT_EQ(XY(-35, -35), Of(ImageOrigin(Layout(32, 32, 3, 5), {-1, -38})));
}

TEST(GeometryPlacement, FixedPositionByCode)
{
    const IntSize screen = {640, 480}, window = {333, 50};
    const struct {
        int code;
        XY topLeft;
    } cases[] = {
        {601, {0, 0}},     {602, {154, 0}}, {603, {307, 0}}, {604, {0, 430}},     {605, {154, 430}},
        {606, {307, 430}}, {0, {0, 0}},     {599, {0, 0}},   {607, {0, 0}},       {INT_MIN, {0, 0}},
    };
    for (const auto& c : cases) {
        const FixedPlacement place = FixedPosition(c.code, window, screen);
        EXPECT_TRUE(place.move) << c.code;
        EXPECT_EQ(c.topLeft, Of(place.topLeft)) << c.code;
    }
    EXPECT_FALSE(FixedPosition(600, window, screen).move);
}

TEST(GeometryPlacement, CentringOnTheCursorStaysOnScreen)
{
    const IntSize screen = {640, 480}, window = {100, 60};
    const struct {
        IntPoint cursor;
        IntSize window;
        XY sized;  // CentredOnCursor
        XY popup;  // PopupPositionAtCursor
    } cases[] = {
        {{5, 5}, window, {0, 0}, {0, 0}},
        {{639, 479}, window, {540, 420}, {540, 420}},
        {{320, 240}, window, {270, 210}, {270, 210}},
        {{320, 240}, {101, 61}, {270, 210}, {270, 210}},
        {{589, 449}, window, {539, 419}, {539, 419}},
        {{INT_MAX, INT_MIN}, window, {540, 0}, {540, 0}},
        // Larger than the screen: one keeps the left and top edges, the other the right
        // and bottom ones.
        {{600, 400}, {700, 500}, {0, 0}, {-60, -20}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.sized, Of(CentredOnCursor(c.cursor, c.window, screen))) << c.cursor.x << "," << c.cursor.y;
        EXPECT_EQ(c.popup, Of(PopupPositionAtCursor(c.cursor, c.window, screen))) << c.cursor.x << "," << c.cursor.y;
    }
}

TEST(GeometryGuard, SizesThatWouldBreakTheDivisionAreKeptOut)
{
    const XY sizes[] = {{INT_MIN, 0}, {-100, 0}, {-7, 0},     {-6, 0},       {-1, 0},     {0, 0},
                        {1, 1},       {99, 99},  {100, 100}, {5000, 5000}, {INT_MAX, kMaxExtent}};
    for (const auto& s : sizes)
        EXPECT_EQ(s.second, EffectiveButtonSize(s.first)) << s.first;
    for (int M : {INT_MIN, -1, 0})
        EXPECT_EQ(1, EffectiveMaxInLine(M)) << M;

    EXPECT_EQ(6, CellPitch(Layout(-6, 32, 3, 1)).cx);
    EXPECT_EQ(8, WindowSize(Layout(-100, 32, 3, 1)).cx);
    EXPECT_EQ(XY(40, 116), Of(WindowSize(Layout(32, 32, 0, 3))));
    EXPECT_EQ(kMaxExtent, WindowSize(Layout(32, INT_MAX, 3, 5)).cy);
    EXPECT_EQ(kMaxExtent, StripThickness(INT_MAX));
    EXPECT_EQ(0, StripThickness(INT_MIN));
}

// Under UBSan any overflow or division by zero in these ends the test run; the results
// must also still mean what they say.
TEST(GeometryGuard, NoSettingMakesTheArithmeticFail)
{
    const int sizes[] = {INT_MIN, -100, -7, -6, -5, -1, 0, 1, 99, 100, INT_MAX};
    const IntPoint points[] = {{INT_MIN, INT_MIN}, {-7, 5}, {0, 0}, {40, 40}, {1000, 3}, {INT_MAX, INT_MAX}};
    for (int W : sizes) {
        for (int H : sizes) {
            for (int M : {INT_MIN, -1, 0, 1, 3, INT_MAX}) {
                for (int n : {0, 1, 5, INT_MAX}) {
                    const ButtonLayout layout = Layout(W, H, M, n, kVertical, INT_MAX);
                    const IntSize pitch = CellPitch(layout);
                    ASSERT_TRUE(pitch.cx >= kCellMargin && pitch.cy >= kCellMargin);
                    const IntSize size = WindowSize(layout);
                    ASSERT_TRUE(size.cx >= 0 && size.cx <= kMaxExtent && size.cy >= 0 && size.cy <= kMaxExtent);
                    for (IntPoint p : points) {
                        const ButtonAtPoint hit = HitTestButton(layout, {INT_MAX, 0}, p);
                        ASSERT_TRUE(!hit.isButton || (hit.index >= 0 && hit.index < n));
                        const PressedButton press = PressedButtonAt(layout, {INT_MIN, INT_MIN}, p);
                        ASSERT_TRUE(!press.isButton || press.index < n);
                        const ButtonAtPoint start = ArrowKeyStartButton(layout, {0, 0}, p, {INT_MAX, INT_MAX});
                        ASSERT_TRUE(!start.isButton || (start.index >= 0 && start.index < n));
                        // The image origin lies in the cell that holds the point, unless
                        // that cell lies beyond the int range and the origin is clamped.
                        const IntPoint origin = ImageOrigin(layout, p);
                        const int64_t cellX = int64_t{origin.x} - kImageInset;
                        const int64_t cellY = int64_t{origin.y} - kImageInset;
                        if (origin.x != INT_MAX && origin.x != INT_MIN) {
                            ASSERT_TRUE(cellX <= p.x && p.x < cellX + pitch.cx) << p.x << " " << origin.x;
                        }
                        if (origin.y != INT_MAX && origin.y != INT_MIN) {
                            ASSERT_TRUE(cellY <= p.y && p.y < cellY + pitch.cy) << p.y << " " << origin.y;
                        }
                    }
                    // Later items never lie above or (in their row) left of earlier ones.
                    IntPoint before = CellImageOrigin(layout, 0);
                    ASSERT_EQ(XY(kImageInset, kImageInset), Of(before));
                    for (int index : {1, 2, 3, 4, 100, 65535, INT_MAX}) {
                        const IntPoint at = CellImageOrigin(layout, index);
                        ASSERT_GE(at.y, before.y) << index;
                        ASSERT_TRUE(at.y > before.y || at.x >= before.x) << index;
                        ASSERT_TRUE(at.x >= kImageInset && at.y >= kImageInset) << index;
                        before = at;
                    }
                    const IntPoint negative = CellImageOrigin(layout, INT_MIN);
                    ASSERT_TRUE(negative.y <= kImageInset && negative.x >= kImageInset);
                    // The cells a paint visits exist, and lie in the rectangle asked for.
                    const CellSpan span = CellsMeeting(layout, {0, 0}, {size.cx, size.cy});
                    ASSERT_TRUE(span.Empty() == (n == 0));
                    if (!span.Empty()) {
                        ASSERT_EQ(0, span.firstRow);
                        ASSERT_EQ(0, span.firstColumn);
                        ASSERT_LE(int64_t{span.lastColumn} * pitch.cx, size.cx);
                        ASSERT_LE(int64_t{span.lastRow} * pitch.cy, size.cy);
                        ASSERT_LT(int64_t{span.lastColumn}, std::min<int64_t>(EffectiveMaxInLine(M), n));
                    }
                }
            }
        }
    }
}

TEST(GeometryGuard, PlacementTakesAnyCursorWindowAndScreen)
{
    const int values[] = {INT_MIN, -1, 0, 1, 100, 639, 640, INT_MAX};
    for (int w : values)
        for (int h : values)
            for (int S : values)
                for (int T : values) {
                    // A window that fits the screen is placed wholly on it; one that does
                    // not starts at its left or top edge.
                    auto onScreen = [](int at, int64_t size, int64_t screen) {
                        if (size >= 0 && size <= screen)
                            return at >= 0 && at <= screen - size;
                        return at >= 0;
                    };
                    for (int code : {601, 602, 603, 604, 605, 606}) {
                        const FixedPlacement fixed = FixedPosition(code, {w, h}, {S, T});
                        ASSERT_TRUE(fixed.move);
                        if (w >= 0 && w <= S) {
                            ASSERT_TRUE(onScreen(fixed.topLeft.x, w, S)) << code;
                        }
                        if (h >= 0 && h <= T) {
                            ASSERT_TRUE(onScreen(fixed.topLeft.y, h, T)) << code;
                        }
                    }
                    IntPoint lastCentred = {INT_MIN, INT_MIN}, lastPopup = {INT_MIN, INT_MIN};
                    for (int c : values) {
                        const IntPoint centred = CentredOnCursor({c, c}, {w, h}, {S, T});
                        ASSERT_TRUE(onScreen(centred.x, w, S) && onScreen(centred.y, h, T)) << c;
                        const IntPoint popup = PopupPositionAtCursor({c, c}, {w, h}, {S, T});
                        if (w >= 0 && w <= S) {
                            ASSERT_TRUE(onScreen(popup.x, w, S)) << c;
                        }
                        if (h >= 0 && h <= T) {
                            ASSERT_TRUE(onScreen(popup.y, h, T)) << c;
                        }
                        // A cursor further right or down never moves the window back.
                        ASSERT_TRUE(centred.x >= lastCentred.x && centred.y >= lastCentred.y) << c;
                        if (w >= 0 && w <= S && h >= 0 && h <= T) {
                            ASSERT_TRUE(popup.x >= lastPopup.x && popup.y >= lastPopup.y) << c;
                        }
                        lastCentred = centred;
                        lastPopup = popup;
                    }
                }
}

TEST(GeometryPaint, OnlyTheCellsThatMeetTheRectangleArePainted)
{
    // 5 items, 3 to a row, 32 x 32: cells 38 x 38.
    const ButtonLayout layout = Layout(32, 32, 3, 5);
    auto cells = [&](IntPoint from, IntPoint to) {
        const CellSpan s = CellsMeeting(layout, from, to);
        return s.Empty() ? std::string("none")
                         : std::to_string(s.firstRow) + "-" + std::to_string(s.lastRow) + "," +
                               std::to_string(s.firstColumn) + "-" + std::to_string(s.lastColumn);
    };
    EXPECT_EQ("0-1,0-2", cells({0, 0}, {114, 76}));
    EXPECT_EQ("0-1,0-2", cells({-500, -500}, {5000, 5000}));
    EXPECT_EQ("0-0,0-0", cells({0, 0}, {38, 38}));
    EXPECT_EQ("0-1,0-1", cells({0, 0}, {39, 39}));
    EXPECT_EQ("1-1,2-2", cells({76, 38}, {77, 39}));  // row 1 has no third item: the caller stops
    EXPECT_EQ("none", cells({114, 0}, {200, 76}));
    EXPECT_EQ("none", cells({0, 76}, {114, 200}));
    EXPECT_EQ("none", cells({-50, -50}, {0, 0}));
    EXPECT_EQ("none", cells({40, 40}, {40, 80}));
    EXPECT_EQ("none", CellsMeeting(Layout(32, 32, 3, 0), {0, 0}, {100, 100}).Empty() ? "none" : "some");

    // 65,535 items, 99 to a row: a screenful of a window of 662 rows is a few hundred cells.
    const ButtonLayout full = Layout(32, 32, 99, 65535);
    const CellSpan seen = CellsMeeting(full, {2759, 24390}, {2759 + 1024, 24390 + 768});
    EXPECT_EQ(641, seen.firstRow);
    EXPECT_EQ(661, seen.lastRow);
    EXPECT_EQ(72, seen.firstColumn);
    EXPECT_EQ(98, seen.lastColumn);
}

TEST(GeometryPaint, TheIconStripIsNoWiderThanAWindowCanBe)
{
    EXPECT_EQ(5, IconStripCells(Layout(32, 32, 3, 5)));
    EXPECT_EQ(0, IconStripCells(Layout(32, 32, 3, 0)));
    EXPECT_EQ(1023, IconStripCells(Layout(32, 32, 99, 65535)));  // 32,736 pixels
    EXPECT_EQ(330, IconStripCells(Layout(99, 99, 99, 65535)));
    EXPECT_EQ(kMaxExtent, IconStripCells(Layout(1, 1, 99, 65535)));
    EXPECT_EQ(65535, IconStripCells(Layout(0, 32, 99, 65535)));  // no pixels at all
    EXPECT_EQ(1, IconStripCells(Layout(INT_MAX, 32, 99, 65535)));
    EXPECT_EQ(0, IconStripCells(Layout(32, 32, 99, INT_MIN)));
}

TEST(GeometryPaint, DrawingPointsStayInTheRangeThePlatformDraws)
{
    EXPECT_EQ(XY(35, -2), Of(DrawPoint({3, 0}, 32, -2)));
    EXPECT_EQ(XY(kMaxDrawCoordinate, -kMaxDrawCoordinate), Of(DrawPoint({INT_MAX, INT_MIN}, kMaxExtent + 2, -3)));
    EXPECT_EQ(XY(kMaxDrawCoordinate, kMaxDrawCoordinate), Of(DrawPoint({INT_MAX - 1, INT_MAX}, 1, 0)));
    EXPECT_EQ(XY(-kMaxDrawCoordinate, 0), Of(DrawPoint({INT_MIN, 0}, -3, 0)));
}
