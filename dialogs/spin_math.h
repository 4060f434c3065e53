// What a spin button computes: the next value of its buddy field and the corners of its
// arrow. Pure code; CSpinButton asks it for every step and every drawing.
#pragma once

#include <cstdint>

// Delays of the press-and-repeat: the first repeat comes after SPIN_DELAY_FIRST, the
// next ones every SPIN_DELAY_REPEAT; a step comes once more than the delay has passed.
constexpr uint32_t SPIN_DELAY_FIRST = 1000;
constexpr uint32_t SPIN_DELAY_REPEAT = 250;

// Arrow directions (m_nDirection); any other value draws no arrow.
constexpr int16_t SPIN_UP = 0;
constexpr int16_t SPIN_DOWN = 1;

// One step: value + step, and past a bound either the other bound (wrap) or the bound
// itself. Computed in 64 bits, so a value near the ends of int cannot overflow; with
// the minimum above the maximum the result is always one of the two bounds.
int SpinStep(int value, int step, int minimum, int maximum, bool wrap);

struct SpinPoint {
    int x;
    int y;
};

// The arrow polygon for a client area of width x height, moved one pixel right and
// down when pressed: apex, base left, base right, and a second apex point one pixel
// right of the first when the base is an odd number of pixels long (so the tip is two
// pixels wide and the arrow stays symmetric), else the apex again. False, and nothing
// written, for a direction other than SPIN_UP or SPIN_DOWN or no array.
bool SpinArrowPoints(int direction, int width, int height, bool pressed, SpinPoint points[4]);
