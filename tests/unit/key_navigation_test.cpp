#include "buttonbar/key_navigation.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using XY = std::pair<int, int>;

XY Of(IntPoint p) { return {p.x, p.y}; }

ButtonLayout Layout(int W, int H, int M, int n)
{
    ButtonLayout layout;
    layout.buttonWidth = W;
    layout.buttonHeight = H;
    layout.maxInLine = M;
    layout.itemCount = n;
    layout.titleMode = 10002;
    return layout;
}

// The grid area of a window sized for the layout: min(M, n) columns, ceil(n / M) rows.
IntSize GridArea(const ButtonLayout& layout)
{
    const IntSize outer = WindowSize(layout);
    return {outer.cx - 2, outer.cy - 2};
}

ButtonAtPoint Button(const ButtonLayout& layout, int index)
{
    const int m = EffectiveMaxInLine(layout.maxInLine);
    return {true, index, index % m, index / m};
}

// The rule as a user describes it: step one pitch, wrap at the area's edge, and repeat
// while the cell holds no item. Small layouts only: it may step many times.
XY SteppedTarget(const ButtonLayout& layout, int index, ArrowKey key)
{
    const IntSize pitch = CellPitch(layout);
    const IntSize area = GridArea(layout);
    const int m = layout.maxInLine, n = layout.itemCount;
    int cx = (index % m) * pitch.cx + pitch.cx / 2;
    int cy = (index / m) * pitch.cy + pitch.cy / 2;
    for (int guard = 0; guard < 10000; ++guard) {
        switch (key) {
        case ArrowKey::Left:
            cx -= pitch.cx;
            if (cx < 0)
                cx = m * pitch.cx - pitch.cx / 2;
            break;
        case ArrowKey::Up:
            cy -= pitch.cy;
            if (cy < 0)
                cy = area.cy - pitch.cy / 2;
            break;
        case ArrowKey::Right:
            cx += pitch.cx;
            if (cx > area.cx)
                cx = pitch.cx / 2;
            break;
        case ArrowKey::Down:
            cy += pitch.cy;
            if (cy > area.cy)
                cy = pitch.cy / 2;
            break;
        }
        if ((cy / pitch.cy) * m + cx / pitch.cx < n)
            return {cx, cy};
    }
    return {-1, -1};
}

XY Target(const ButtonLayout& layout, int index, ArrowKey key)
{
    return Of(ArrowKeyTarget(layout, Button(layout, index), key, GridArea(layout)));
}

}  // namespace

TEST(ArrowKeys, WrapWithinTheRowAndColumnAndSkipEmptyCells)
{
    // n = 5, M = 3: items 0 1 2 / 3 4, pitch 38, centres at 19, 57, 95.
    const ButtonLayout five = Layout(32, 32, 3, 5);
    EXPECT_EQ(XY(19, 57), Target(five, 4, ArrowKey::Right)) << "the empty end of the row wraps to item 3";
    EXPECT_EQ(XY(57, 57), Target(five, 3, ArrowKey::Right));
    EXPECT_EQ(XY(57, 57), Target(five, 3, ArrowKey::Left)) << "from column 0 to the row's last item";
    EXPECT_EQ(XY(95, 19), Target(five, 2, ArrowKey::Down)) << "no item below: back to row 0";
    EXPECT_EQ(XY(95, 19), Target(five, 2, ArrowKey::Up)) << "no item in the last row's column 2";
    EXPECT_EQ(XY(57, 57), Target(five, 1, ArrowKey::Up)) << "row 0 wraps to the last row";
    EXPECT_EQ(XY(19, 19), Target(five, 2, ArrowKey::Right));

    const ButtonLayout one = Layout(32, 32, 99, 1);
    for (ArrowKey key : {ArrowKey::Left, ArrowKey::Up, ArrowKey::Right, ArrowKey::Down})
        EXPECT_EQ(XY(19, 19), Target(one, 0, key)) << "a one-item bar stays on its item";
}

TEST(ArrowKeys, AgreeWithSteppingCellByCellForEverySmallLayout)
{
    // Even and odd pitches, fewer items than a row, full and partial last rows.
    for (int size : {32, 31, 0})
        for (int m = 1; m <= 5; ++m)
            for (int n = 1; n <= 12; ++n) {
                const ButtonLayout layout = Layout(size, size + 3, m, n);
                for (int index = 0; index < n; ++index)
                    for (ArrowKey key : {ArrowKey::Left, ArrowKey::Up, ArrowKey::Right, ArrowKey::Down})
                        EXPECT_EQ(SteppedTarget(layout, index, key), Target(layout, index, key))
                            << "size " << size << " M " << m << " n " << n << " item " << index << " key "
                            << static_cast<int>(key);
            }
}

TEST(ArrowKeys, StayFastAndInRangeForHugeRowLengths)
{
    // A "Max" of two billion must not make the keys walk two billion empty cells.
    const ButtonLayout wide = Layout(32, 32, 2000000000, 3);
    EXPECT_EQ(XY(95, 19), Target(wide, 0, ArrowKey::Left));
    EXPECT_EQ(XY(19, 19), Target(wide, 2, ArrowKey::Right));
    EXPECT_EQ(XY(57, 19), Target(wide, 1, ArrowKey::Down));
}

TEST(HomeAndEnd, PointAtTheFirstAndLastItems)
{
    EXPECT_EQ(XY(19, 19), Of(HomeCellCentre(Layout(32, 32, 3, 6))));
    EXPECT_EQ(XY(95, 57), Of(EndCellCentre(Layout(32, 32, 3, 6)))) << "n 6, M 3: row 1, column 2";
    EXPECT_EQ(XY(57, 57), Of(EndCellCentre(Layout(32, 32, 3, 5))));
    EXPECT_EQ(XY(19, 19), Of(EndCellCentre(Layout(32, 32, 3, 0)))) << "an empty group: the first cell";
    EXPECT_EQ(XY(19, 19), Of(EndCellCentre(Layout(32, 32, 3, 1))));
    EXPECT_EQ(XY(10, 46), Of(EndCellCentre(Layout(15, 25, 1, 2)))) << "pitches 21 x 31, row 1";
}

TEST(GroupStepping, WrapsRoundAndLeavesNoGroupsAlone)
{
    EXPECT_EQ(0, NextGroup(4, 5)) << "Page Down on the last group";
    EXPECT_EQ(3, NextGroup(2, 5));
    EXPECT_EQ(4, PreviousGroup(0, 5)) << "Page Up on the first group";
    EXPECT_EQ(1, PreviousGroup(2, 5));
    EXPECT_EQ(0, NextGroup(0, 1));
    EXPECT_EQ(0, PreviousGroup(0, 1));
    EXPECT_EQ(-1, NextGroup(0, 0));
    EXPECT_EQ(-1, PreviousGroup(-1, 0));
    // An index that names no group still lands on one.
    EXPECT_EQ(0, NextGroup(9, 5));
    EXPECT_EQ(4, PreviousGroup(9, 5));
    EXPECT_EQ(0, NextGroup(-7, 5));
    EXPECT_EQ(4, PreviousGroup(-7, 5));
}

TEST(GroupMenu, LabelsCarryTheNumberWithTheLastDigitAsMnemonic)
{
    EXPECT_EQ(" &1:Main", GroupMenuLabel(1, "Main"));
    EXPECT_EQ(" &9:Main", GroupMenuLabel(9, "Main"));
    EXPECT_EQ("1&0:Main", GroupMenuLabel(10, "Main"));
    EXPECT_EQ("1&2:Accessories", GroupMenuLabel(12, "Accessories"));
    // Three digits keep all three, so that group 100 is not shown as group 10.
    EXPECT_EQ("10&0:Games", GroupMenuLabel(100, "Games"));
    EXPECT_EQ("25&6:Games", GroupMenuLabel(256, "Games"));
    EXPECT_EQ(" &3:", GroupMenuLabel(3, ""));
    EXPECT_EQ(" &4:Tools && Games", GroupMenuLabel(4, "Tools & Games"));
}

TEST(MenuFilter, TurnsTheRightButtonIntoTheLeftAndTheFirstMoveIntoARelease)
{
    // The first movement is the release at the opening point.
    MenuFilterDecision d = FilterMenuMessage(kMsgMouseMove, 0, 0);
    EXPECT_EQ(kMsgLButtonUp, d.message);
    EXPECT_TRUE(d.atMenuPoint);
    EXPECT_EQ(1, d.phase);
    // Movements before the delay are left alone; the first after it presses.
    d = FilterMenuMessage(kMsgMouseMove, 1, kMenuDragDelayMs - 1);
    EXPECT_FALSE(d.Changed(kMsgMouseMove));
    EXPECT_EQ(1, d.phase);
    d = FilterMenuMessage(kMsgMouseMove, 1, kMenuDragDelayMs);
    EXPECT_EQ(kMsgLButtonDown, d.message);
    EXPECT_FALSE(d.atMenuPoint);
    EXPECT_EQ(2, d.phase);
    d = FilterMenuMessage(kMsgMouseMove, 2, 100000);
    EXPECT_FALSE(d.Changed(kMsgMouseMove));
    // The right button acts as the left one in every phase; its release ends the first phases.
    for (uint16_t phase = 0; phase <= 2; ++phase) {
        EXPECT_EQ(kMsgLButtonDown, FilterMenuMessage(kMsgRButtonDown, phase, 0).message);
        EXPECT_EQ(phase, FilterMenuMessage(kMsgRButtonDown, phase, 0).phase);
        EXPECT_EQ(kMsgLButtonUp, FilterMenuMessage(kMsgRButtonUp, phase, 0).message);
        EXPECT_EQ(2, FilterMenuMessage(kMsgRButtonUp, phase, 0).phase);
        EXPECT_FALSE(FilterMenuMessage(0x0100, phase, 0).Changed(0x0100)) << "keys pass unchanged";
        EXPECT_FALSE(FilterMenuMessage(kMsgLButtonUp, phase, 0).Changed(kMsgLButtonUp));
    }
}
