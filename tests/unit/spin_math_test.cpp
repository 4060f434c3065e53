#include "dialogs/spin_math.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

// The Set Up dialog's fields: 1 to 99, wrapping.
int Up(int value, bool wrap = true) { return SpinStep(value, +1, 1, 99, wrap); }
int Down(int value, bool wrap = true) { return SpinStep(value, -1, 1, 99, wrap); }

std::string Points(const SpinPoint (&p)[4])
{
    std::string s;
    for (const SpinPoint& point : p)
        s += "(" + std::to_string(point.x) + "," + std::to_string(point.y) + ")";
    return s;
}

std::string Arrow(int direction, int w, int h, bool pressed)
{
    SpinPoint p[4] = {{-7, -7}, {-7, -7}, {-7, -7}, {-7, -7}};
    if (!SpinArrowPoints(direction, w, h, pressed, p))
        return "none";
    return Points(p);
}

TEST(SpinStep, StepsInsideTheRangeAndWrapsAtBothBounds)
{
    EXPECT_EQ(2, Up(1));
    EXPECT_EQ(98, Down(99));
    EXPECT_EQ(1, Up(99));
    EXPECT_EQ(99, Down(1));
    // An empty or unreadable field reads as 0: below the minimum after a step down.
    EXPECT_EQ(1, Up(0));
    EXPECT_EQ(99, Down(0));
    // -4 is still below the minimum.
    EXPECT_EQ(99, Up(-5));
    // Far out of range: wraps to the opposite bound, whichever way it is out.
    EXPECT_EQ(1, Up(500));
    EXPECT_EQ(1, Down(500));
}

TEST(SpinStep, WithoutWrapTheValueStaysAtTheBound)
{
    EXPECT_EQ(99, Up(99, false));
    EXPECT_EQ(1, Down(1, false));
    EXPECT_EQ(1, Down(0, false));
    EXPECT_EQ(1, Up(-5, false));
    EXPECT_EQ(99, Down(500, false));
}

TEST(SpinStep, TheEndsOfIntDoNotOverflow)
{
    EXPECT_EQ(INT_MIN, SpinStep(INT_MAX, +1, INT_MIN, INT_MAX, true));
    EXPECT_EQ(INT_MAX, SpinStep(INT_MAX, +1, INT_MIN, INT_MAX, false));
    EXPECT_EQ(INT_MAX, SpinStep(INT_MIN, -1, INT_MIN, INT_MAX, true));
    EXPECT_EQ(INT_MIN, SpinStep(INT_MIN, INT_MIN, INT_MIN, INT_MAX, false));
    EXPECT_EQ(1, Up(INT_MAX));
    EXPECT_EQ(99, Down(INT_MIN));
    EXPECT_EQ(INT_MAX - 1, SpinStep(INT_MAX - 2, +1, 0, INT_MAX, true));
}

TEST(SpinStep, AMinimumAboveTheMaximumGivesABound)
{
    // Nothing lies inside such a range: every result is one of the two bounds.
    for (int value : {INT_MIN, -1, 0, 5, 10, 11, INT_MAX}) {
        const int up = SpinStep(value, +1, 10, 5, true);
        EXPECT_TRUE(up == 5 || up == 10) << value << " -> " << up;
        const int down = SpinStep(value, -1, 10, 5, false);
        EXPECT_TRUE(down == 5 || down == 10) << value << " -> " << down;
    }
}

TEST(SpinArrow, EvenBaseEndsInOnePixelTip)
{
    // 18 wide: base 6..12 (6 long), apex 9; 9 high: thirds at 3 and 6.
    EXPECT_EQ("(9,3)(6,6)(12,6)(9,3)", Arrow(SPIN_UP, 18, 9, false));
    EXPECT_EQ("(9,6)(6,3)(12,3)(9,6)", Arrow(SPIN_DOWN, 18, 9, false));
    // Pressed: one pixel right and down, the tip rule unchanged.
    EXPECT_EQ("(10,4)(7,7)(13,7)(10,4)", Arrow(SPIN_UP, 18, 9, true));
    EXPECT_EQ("(10,7)(7,4)(13,4)(10,7)", Arrow(SPIN_DOWN, 18, 9, true));
}

TEST(SpinArrow, OddBaseEndsInTwoPixelTip)
{
    // 16 wide: base 5..10 (5 long), apex 7 and 8; 10 high: thirds at 3 and 6.
    EXPECT_EQ("(7,3)(5,6)(10,6)(8,3)", Arrow(SPIN_UP, 16, 10, false));
    EXPECT_EQ("(7,6)(5,3)(10,3)(8,6)", Arrow(SPIN_DOWN, 16, 10, false));
    EXPECT_EQ("(8,4)(6,7)(11,7)(9,4)", Arrow(SPIN_UP, 16, 10, true));
    EXPECT_EQ("(8,7)(6,4)(11,4)(9,7)", Arrow(SPIN_DOWN, 16, 10, true));
}

TEST(SpinArrow, OtherDirectionsAndNoArrayDrawNothing)
{
    for (int direction : {-1, 2, 0x7fff})
        EXPECT_EQ("none", Arrow(direction, 18, 9, false)) << direction;
    EXPECT_FALSE(SpinArrowPoints(SPIN_UP, 18, 9, false, nullptr));
}

TEST(SpinArrow, HugeOrEmptyAreasStayInRange)
{
    // A zero-sized window collapses the arrow to a point; the largest sizes do not overflow.
    EXPECT_EQ("(0,0)(0,0)(0,0)(0,0)", Arrow(SPIN_UP, 0, 0, false));
    SpinPoint p[4];
    ASSERT_TRUE(SpinArrowPoints(SPIN_DOWN, INT_MAX, INT_MAX, true, p));
    EXPECT_EQ(INT_MAX / 3 + 1, p[1].x);
    EXPECT_EQ(static_cast<int>((2LL * INT_MAX) / 3 + 1), p[2].x);
    EXPECT_EQ(static_cast<int>((2LL * INT_MAX) / 3 + 1), p[0].y);
}

}  // namespace
