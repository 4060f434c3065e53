// Drawing checked pixel by pixel on memory DCs: button edges and outlines, pressed and
// raised buttons, images copied from the icon strip, the icon strip itself, and the
// three title strip modes.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using namespace testing_support;

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kShadow = RGB(128, 125, 128);
constexpr COLORREF kDarkGrey = RGB(128, 128, 128);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A 24-bit memory canvas filled with the window's light grey.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height)
    {
        HDC screen = GetDC(nullptr);
        m_dc = CreateCompatibleDC(screen);
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ReleaseDC(nullptr, screen);
        m_old = SelectObject(m_dc, m_bitmap);
        Fill(kGrey);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    void Fill(COLORREF colour)
    {
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, m_width, m_height};
        FillRect(m_dc, &all, brush);
        DeleteObject(brush);
    }
    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    bool SameAs(const Canvas& other) const
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (At(x, y) != other.At(x, y))
                    return false;
        return true;
    }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

class PaintTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
        m_app.m_nButtonWidth = 32;
        m_app.m_nButtonHeight = 32;
    }

    // A strip of n cells whose every pixel has its own colour.
    void MakePatternStrip(int n)
    {
        const int W = m_app.m_nButtonWidth, H = m_app.m_nButtonHeight;
        HDC screen = GetDC(nullptr);
        m_app.m_iconStrip.reset(CreateCompatibleBitmap(screen, W * n, H));
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, m_app.m_iconStrip.get());
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W * n; ++x)
                SetPixel(dc, x, y, RGB(x * 7 % 256, y * 5 % 256, (x + y) % 200));
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        m_app.m_sizeIconStrip = {W * n, H};
    }

    void PaintRaised(HDC dc, int x, int y, uint16_t item)
    {
        m_app.DrawRaisedEdge(dc, x, y);
        m_app.DrawButtonOutline(dc, x, y);
        m_app.DrawButtonImage(dc, x, y, item);
    }

    CLaunchApp m_app;
};

TEST_F(PaintTest, RaisedButtonHasItsEdgeAndOutlineAtTheDocumentedPixels)
{
    for (int size : {32, 1}) {
        SCOPED_TRACE(size);
        m_app.m_nButtonWidth = size;
        m_app.m_nButtonHeight = size;
        Canvas canvas(60, 60);
        const int x = 10, y = 10, W = size, H = size;
        m_app.DrawRaisedEdge(canvas.dc(), x, y);
        m_app.DrawButtonOutline(canvas.dc(), x, y);

        // The two bands of the edge, 2 pixels each.
        for (int i = 0; i < W; ++i) {
            EXPECT_EQ(kWhite, canvas.At(x + i, y - 1));
            EXPECT_EQ(kWhite, canvas.At(x + i, y - 2));
            EXPECT_EQ(kShadow, canvas.At(x + i, y + H));
            EXPECT_EQ(kShadow, canvas.At(x + i, y + H + 1));
        }
        for (int j = 0; j < H; ++j) {
            EXPECT_EQ(kWhite, canvas.At(x - 1, y + j));
            EXPECT_EQ(kWhite, canvas.At(x - 2, y + j));
            EXPECT_EQ(kShadow, canvas.At(x + W, y + j));
            EXPECT_EQ(kShadow, canvas.At(x + W + 1, y + j));
        }
        // The outline: first and last rows and columns of the cell, corners cut.
        for (int i = -1; i <= W; ++i) {
            EXPECT_EQ(kBlack, canvas.At(x + i, y - 3));
            EXPECT_EQ(kBlack, canvas.At(x + i, y + H + 2));
        }
        for (int j = -1; j <= H; ++j) {
            EXPECT_EQ(kBlack, canvas.At(x - 3, y + j));
            EXPECT_EQ(kBlack, canvas.At(x + W + 2, y + j));
        }
        EXPECT_EQ(kBlack, canvas.At(x - 2, y - 2));
        EXPECT_EQ(kBlack, canvas.At(x + W + 1, y + H + 1));
        EXPECT_EQ(kGrey, canvas.At(x - 3, y - 3));
        EXPECT_EQ(kGrey, canvas.At(x + W + 2, y + H + 2));
        EXPECT_EQ(kGrey, canvas.At(x + W + 2, y - 3));
        EXPECT_EQ(kGrey, canvas.At(x - 3, y + H + 2));
        // Nothing outside the cell, nothing inside the image.
        EXPECT_EQ(kGrey, canvas.At(x - 4, y + 1));
        EXPECT_EQ(kGrey, canvas.At(x + W + 3, y + 1));
        for (int j = 0; j < H; ++j)
            for (int i = 0; i < W; ++i)
                EXPECT_EQ(kGrey, canvas.At(x + i, y + j));
    }
}

TEST_F(PaintTest, PressedButtonShiftsItsImageAndDrawsTheSunkenEdge)
{
    MakePatternStrip(2);
    Canvas fresh(60, 60);
    PaintRaised(fresh.dc(), 10, 10, 1);
    Canvas canvas(60, 60);
    PaintRaised(canvas.dc(), 10, 10, 1);
    const int x = 10, y = 10, W = 32, H = 32;

    m_app.DrawButtonImage(canvas.dc(), x + 2, y + 2, 1);
    m_app.DrawPressedEdge(canvas.dc(), x, y);
    m_app.DrawButtonOutline(canvas.dc(), x, y);
    for (int i = 0; i < W; ++i) {
        EXPECT_EQ(kDarkGrey, canvas.At(x + i, y - 2));
        EXPECT_EQ(kDarkGrey, canvas.At(x + i, y - 1));
        EXPECT_EQ(kGrey, canvas.At(x + i + 1, y));
        EXPECT_EQ(kGrey, canvas.At(x + i + 1, y + 1));
    }
    // The image moved 2 pixels right and down and covers the bottom and right band.
    EXPECT_EQ(fresh.At(x, y + 5), canvas.At(x + 2, y + 7));
    EXPECT_EQ(fresh.At(x + W - 2, y + H - 2), canvas.At(x + W, y + H));
    EXPECT_EQ(fresh.At(x + 20, y + 3), canvas.At(x + 22, y + 5));

    // Raised again: exactly the pixels of a fresh paint.
    m_app.DrawButtonImage(canvas.dc(), x, y, 1);
    m_app.DrawRaisedEdge(canvas.dc(), x, y);
    m_app.DrawButtonOutline(canvas.dc(), x, y);
    EXPECT_TRUE(canvas.SameAs(fresh));
}

TEST_F(PaintTest, ButtonsAtTheFarEndOfTheCoordinatesDrawNothingOnTheCanvas)
{
    // Origins that a far-off cell is clamped to: sums with the button size must not wrap
    // round to the other end and draw lines across the canvas.
    for (int size : {32, 99}) {
        m_app.m_nButtonWidth = size;
        m_app.m_nButtonHeight = size;
        for (POINT origin : {POINT{INT_MAX, 10}, POINT{10, INT_MAX}, POINT{INT_MAX - 40, INT_MAX - 40},
                             POINT{INT_MIN, 10}, POINT{10, INT_MIN}}) {
            SCOPED_TRACE(std::to_string(origin.x) + "," + std::to_string(origin.y));
            Canvas canvas(60, 60), blank(60, 60);
            m_app.DrawRaisedEdge(canvas.dc(), origin.x, origin.y);
            m_app.DrawPressedEdge(canvas.dc(), origin.x, origin.y);
            m_app.DrawButtonOutline(canvas.dc(), origin.x, origin.y);
            EXPECT_TRUE(canvas.SameAs(blank));
        }
    }
}

TEST_F(PaintTest, PaintingOnlyWhatIsSeenLeavesTheSamePixelsThere)
{
    MakePatternStrip(7);
    CProgramGroup& group = m_app.m_group;
    for (int i = 0; i < 7; ++i)
        group.m_items.push_back(std::make_unique<CProgramItem>());
    m_app.m_nMaxInLine = 3;
    m_app.m_nTitle = TITLE_HORIZONTAL;
    const int width = 3 * 38 + 10, height = 3 * 38 + 40;
    Canvas whole(width, height);
    m_app.PaintButtons(whole.dc());
    SetWindowOrgEx(whole.dc(), 0, 0, nullptr);
    for (RECT clip : {RECT{0, 0, 5, 5}, RECT{40, 50, 41, 51}, RECT{30, 30, 90, 70}, RECT{100, 100, width, height}}) {
        SCOPED_TRACE(std::to_string(clip.left) + "," + std::to_string(clip.top));
        Canvas part(width, height);
        IntersectClipRect(part.dc(), clip.left, clip.top, clip.right, clip.bottom);
        SetWindowOrgEx(part.dc(), 0, 0, nullptr);
        m_app.PaintButtons(part.dc());
        SetWindowOrgEx(part.dc(), 0, 0, nullptr);
        for (int y = clip.top; y < clip.bottom; ++y)
            for (int x = clip.left; x < clip.right; ++x)
                ASSERT_EQ(whole.At(x, y), part.At(x, y)) << x << "," << y;
    }
    group.m_items.clear();
}

TEST_F(PaintTest, ButtonImagesComeFromTheirOwnCellOfTheStrip)
{
    MakePatternStrip(3);
    Canvas canvas(40, 40);
    m_app.DrawButtonImage(canvas.dc(), 4, 4, 2);
    HDC screen = GetDC(nullptr);
    HDC strip = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(strip, m_app.m_iconStrip.get());
    for (int j = 0; j < 32; j += 5)
        for (int i = 0; i < 32; i += 3)
            EXPECT_EQ(GetPixel(strip, 64 + i, j), canvas.At(4 + i, 4 + j));
    SelectObject(strip, old);
    DeleteDC(strip);
    ReleaseDC(nullptr, screen);

    // A cell beyond the strip draws nothing.
    Canvas untouched(40, 40);
    m_app.DrawButtonImage(untouched.dc(), 4, 4, 3);
    EXPECT_EQ(kGrey, untouched.At(10, 10));
}

class TitleStripTest : public PaintTest {
protected:
    void SetUp() override
    {
        PaintTest::SetUp();
        m_app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        m_app.m_rcWindow = {0, 0, 300, 120};
        m_bar = new CButtonBarWnd();
        ASSERT_NE(nullptr, m_bar->m_hWnd);
        RECT client;
        GetClientRect(m_bar->m_hWnd, &client);
        m_width = client.right;
        m_height = client.bottom;
    }
    void TearDown() override
    {
        DestroyWindow(m_bar->m_hWnd);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    CButtonBarWnd* m_bar = nullptr;
    int m_width = 0, m_height = 0;
};

TEST_F(TitleStripTest, EachModeDrawsItsStripInTheCaptionColoursAndClosesItWithABlackLine)
{
    const int c = GetSystemMetrics(SM_CYCAPTION);
    const COLORREF active = GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF inactive = GetSysColor(COLOR_INACTIVECAPTION);
    ASSERT_NE(active, inactive);

    m_app.m_nTitle = TITLE_HORIZONTAL;
    for (BOOL isActive : {TRUE, FALSE}) {
        Canvas canvas(m_width, m_height);
        m_bar->DrawTitleStrip(canvas.dc(), isActive);
        const COLORREF caption = isActive ? active : inactive;
        EXPECT_EQ(caption, canvas.At(1, 1));
        EXPECT_EQ(caption, canvas.At(m_width - 2, c - 1));
        EXPECT_EQ(kBlack, canvas.At(0, c));
        EXPECT_EQ(kBlack, canvas.At(m_width - 1, c));
        EXPECT_EQ(kGrey, canvas.At(5, c + 1));
    }

    m_app.m_nTitle = TITLE_VERTICAL;
    {
        Canvas canvas(m_width, m_height);
        m_bar->DrawTitleStrip(canvas.dc(), TRUE);
        EXPECT_EQ(active, canvas.At(1, 1));
        EXPECT_EQ(active, canvas.At(c - 1, m_height - 2));
        EXPECT_EQ(kBlack, canvas.At(c, 0));
        EXPECT_EQ(kBlack, canvas.At(c, m_height - 1));
        EXPECT_EQ(kGrey, canvas.At(c + 1, 5));
        // Some of the text is there, in the caption text colour.
        bool text = false;
        for (int y = 0; y < m_height && !text; ++y)
            for (int x = 0; x < c && !text; ++x)
                text = canvas.At(x, y) != active;
        EXPECT_TRUE(text);
    }

    for (int none : {TITLE_NOTHING, 12345}) {
        m_app.m_nTitle = none;
        Canvas canvas(m_width, m_height);
        m_bar->DrawTitleStrip(canvas.dc(), TRUE);
        for (int y = 0; y < m_height; y += 7)
            for (int x = 0; x < m_width; x += 7)
                ASSERT_EQ(kGrey, canvas.At(x, y));
    }
}

TEST_F(TitleStripTest, ANarrowWindowWidensTheHorizontalStripToItsText)
{
    m_app.m_nTitle = TITLE_HORIZONTAL;
    m_app.m_rcWindow = {0, 0, 12, 60};
    DestroyWindow(m_bar->m_hWnd);
    m_bar = new CButtonBarWnd();
    const int c = GetSystemMetrics(SM_CYCAPTION);
    Canvas canvas(200, 60);
    m_bar->DrawTitleStrip(canvas.dc(), TRUE);
    // The strip and its line run on past the 10-pixel client area, as far as the text is wide.
    EXPECT_EQ(kBlack, canvas.At(25, c));
    EXPECT_NE(kGrey, canvas.At(25, 1));
    EXPECT_EQ(kGrey, canvas.At(199, 1));
}

}  // namespace
