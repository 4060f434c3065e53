#include "dialogs/spin_math.h"

int SpinStep(int value, int step, int minimum, int maximum, bool wrap)
{
    const int64_t next = static_cast<int64_t>(value) + step;
    if (next > maximum)
        return wrap ? minimum : maximum;
    if (next < minimum)
        return wrap ? maximum : minimum;
    return static_cast<int>(next);
}

bool SpinArrowPoints(int direction, int width, int height, bool pressed, SpinPoint points[4])
{
    if (!points || (direction != SPIN_UP && direction != SPIN_DOWN))
        return false;
    // 64 bits, so that 2 * width cannot overflow whatever size the window reports.
    const int64_t w = width;
    const int64_t h = height;
    const int64_t o = pressed ? 1 : 0;
    const int64_t x1 = w / 3 + o;
    const int64_t x2 = (2 * w) / 3 + o;
    const int64_t upper = h / 3 + o;
    const int64_t lower = (2 * h) / 3 + o;
    const int64_t baseY = direction == SPIN_UP ? lower : upper;
    const int64_t apexY = direction == SPIN_UP ? upper : lower;
    const int64_t apexX = (x1 + x2) / 2;
    const int64_t tipX = (x2 - x1) % 2 != 0 ? apexX + 1 : apexX;
    points[0] = {static_cast<int>(apexX), static_cast<int>(apexY)};
    points[1] = {static_cast<int>(x1), static_cast<int>(baseY)};
    points[2] = {static_cast<int>(x2), static_cast<int>(baseY)};
    points[3] = {static_cast<int>(tipX), static_cast<int>(apexY)};
    return true;
}
