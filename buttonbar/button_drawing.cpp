#include "buttonbar/button_drawing.h"

#include "framework/colours.h"
#include "framework/gdi.h"

#include <initializer_list>
#include <utility>

namespace {

using Offsets = int[6][2];

// The points of a button's drawing, each (dx, dy) from the image origin (x, y), kept
// within what the platform draws whatever the origin and the button size.
template <size_t N>
void ButtonPoints(int x, int y, const int (&offsets)[N][2], POINT (&points)[N])
{
    for (size_t i = 0; i < N; ++i) {
        const IntPoint p = DrawPoint({x, y}, offsets[i][0], offsets[i][1]);
        points[i] = {p.x, p.y};
    }
}

// Draws two closed bands with a 1-pixel pen; the bands are 2 pixels thick, so the outline
// covers them and the DC's brush never shows.
void DrawBands(HDC hdc, int x, int y, const Offsets& first, COLORREF firstColour, const Offsets& second,
               COLORREF secondColour)
{
    for (const auto& band : {std::make_pair(&first, firstColour), std::make_pair(&second, secondColour)}) {
        POINT points[6];
        ButtonPoints(x, y, *band.first, points);
        fw::Pen pen(CreatePen(PS_SOLID, 0, band.second));
        fw::SelectGuard selectPen(hdc, pen.get());
        Polygon(hdc, points, 6);
    }
}

}  // namespace

void DrawRaisedButtonEdge(HDC hdc, int x, int y, IntSize button)
{
    const int W = button.cx, H = button.cy;
    const Offsets light = {{-2, -2}, {W + 1, -2}, {W, -1}, {-1, -1}, {-1, H}, {-2, H + 1}};
    const Offsets shadow = {{W + 1, H + 1}, {-1, H + 1}, {0, H}, {W, H}, {W, 0}, {W + 1, -1}};
    DrawBands(hdc, x, y, light, fw::kWhite, shadow, fw::kEdgeShadow);
}

void DrawPressedButtonEdge(HDC hdc, int x, int y, IntSize button)
{
    const int W = button.cx, H = button.cy;
    const Offsets outer = {{-2, -2}, {W + 1, -2}, {W + 1, -1}, {-1, -1}, {-1, H + 1}, {-2, H + 1}};
    const Offsets inner = {{0, 0}, {W + 1, 0}, {W + 1, 1}, {1, 1}, {1, H + 1}, {0, H + 1}};
    DrawBands(hdc, x, y, outer, fw::kGrey, inner, fw::kLightGrey);
}

void DrawButtonOutlineAt(HDC hdc, int x, int y, IntSize button)
{
    const int W = button.cx, H = button.cy;
    // The outline lies on the cell's border: kImageInset outside the image on every side.
    const int m = kImageInset;
    const int outline[9][2] = {{-1, -m},        {-m, -1},        {-m, H},    {-1, H + m - 1}, {W, H + m - 1},
                               {W + m - 1, H}, {W + m - 1, -1}, {W, -m}, {-1, -m}};
    POINT points[9];
    ButtonPoints(x, y, outline, points);
    fw::Pen pen(CreatePen(PS_SOLID, 0, fw::kBlack));
    fw::SelectGuard selectPen(hdc, pen.get());
    Polyline(hdc, points, 9);
}
