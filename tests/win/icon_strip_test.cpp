// The icon strip built from a group record in the registry: icons copied or scaled
// into their cells, masks applied the right way up, and damaged icons left blank.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

constexpr COLORREF kGrey = RGB(192, 192, 192);
const char kSource[] = "UUNICODE Program Groups\\Icons";

COLORREF AsColorRef(uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// 64 colours, and a picture where neighbouring rows and columns differ.
std::vector<uint32_t> Palette64()
{
    std::vector<uint32_t> palette;
    for (uint32_t i = 0; i < 64; ++i)
        palette.push_back(Rgb(static_cast<uint8_t>(i * 4), static_cast<uint8_t>(255 - i * 3),
                              static_cast<uint8_t>((i * 37) % 256)));
    return palette;
}

IconImage PatternIcon()
{
    IconPixels pixels{};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels[y][x] = static_cast<uint8_t>((x + 2 * y) % 64);
    return IconFromPixels(8, Palette64(), pixels, OpaqueMask());
}

class IconStripTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_app.LoadSettings();
        PrepareBar();
        m_app.m_pButtonWnd = new CButtonBarWnd();
    }

    // Puts the record in the registry, loads it as the current group and builds the strip.
    void Build(const std::vector<uint8_t>& record)
    {
        ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Icons", record));
        ASSERT_EQ(0, m_app.m_group.Load(kSource, LOAD_ITEMS));
        m_app.BuildIconStrip(kSource);
    }

    // Reads strip pixels through a memory DC.
    template <class Check>
    void WithStrip(Check check)
    {
        ASSERT_TRUE(m_app.m_iconStrip);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, m_app.m_iconStrip.get());
        check(dc);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
};

TEST_F(IconStripTest, IconsAtButtonSizeAreCopiedPixelForPixelIntoTheirCells)
{
    const IconImage pattern = PatternIcon();
    GroupRecordBuilder builder(u"Icons");
    builder.AddItem(GroupItem{u"Solid", u"A.EXE", 0, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddItem(GroupItem{u"Pattern", u"B.EXE", 10, 0, pattern});
    Build(builder.Build());
    EXPECT_EQ(64, m_app.m_sizeIconStrip.cx);
    EXPECT_EQ(32, m_app.m_sizeIconStrip.cy);
    WithStrip([&](HDC dc) {
        EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 0, 0));
        EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 31, 31));
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                ASSERT_EQ(AsColorRef(Palette64()[PixelIndex(pattern, x, y)]), GetPixel(dc, 32 + x, y))
                    << x << "," << y;
    });
}

TEST_F(IconStripTest, MasksAreAppliedTheRightWayUpAndTransparentPartsStayGrey)
{
    IconMask topLeftClear{};
    for (int y = 0; y < 16; ++y)
        topLeftClear[y] = 0xFFFF0000u;  // the left half of the top 16 rows
    GroupRecordBuilder builder(u"Icons");
    builder.AddItem(GroupItem{u"Clear", u"A.EXE", 0, 0, BlankIcon(1, 4)});
    // As in real icons, the colour image is black where the mask lets the background through.
    builder.AddItem(GroupItem{u"Quarter", u"B.EXE", 10, 0, QuarterIcon(4, Rgb(0, 0, 0), Rgb(0, 255, 0),
                                                                         topLeftClear)});
    Build(builder.Build());
    WithStrip([&](HDC dc) {
        for (int y = 0; y < 32; y += 3)
            for (int x = 0; x < 32; x += 3)
                EXPECT_EQ(kGrey, GetPixel(dc, x, y)) << x << "," << y;
        EXPECT_EQ(kGrey, GetPixel(dc, 32 + 2, 2));
        EXPECT_EQ(kGrey, GetPixel(dc, 32 + 15, 15));
        EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 32 + 20, 2));
        EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 32 + 2, 20));
        EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 32 + 31, 31));
        EXPECT_EQ(RGB(0, 255, 0), GetPixel(dc, 32 + 2, 29));  // an upside-down mask would clear this
    });
}

TEST_F(IconStripTest, OtherButtonSizesScaleByDroppingAndRepeatingRowsAndColumns)
{
    m_app.m_nButtonWidth = 16;
    m_app.m_nButtonHeight = 48;
    const IconImage pattern = PatternIcon();
    GroupRecordBuilder builder(u"Icons");
    builder.AddItem(GroupItem{u"Pattern", u"B.EXE", 0, 0, pattern});
    Build(builder.Build());
    EXPECT_EQ(16, m_app.m_sizeIconStrip.cx);
    EXPECT_EQ(48, m_app.m_sizeIconStrip.cy);
    const std::vector<uint32_t> palette = Palette64();
    WithStrip([&](HDC dc) {
        int previousRow = -1;
        for (int k = 0; k < 48; ++k) {
            // Each strip row is one whole source row, in order, none skipped: no blending.
            int row = -1;
            for (int y = 0; y < 32 && row < 0; ++y) {
                bool same = true;
                for (int j = 0; j < 16 && same; ++j) {
                    COLORREF pixel = GetPixel(dc, j, k);
                    same = pixel == AsColorRef(palette[PixelIndex(pattern, 2 * j, y)]) ||
                           pixel == AsColorRef(palette[PixelIndex(pattern, 2 * j + 1, y)]);
                }
                if (same)
                    row = y;
            }
            ASSERT_GE(row, 0) << "strip row " << k << " is no source row";
            EXPECT_TRUE(row == previousRow || row == previousRow + 1) << k;
            previousRow = row;
        }
        EXPECT_EQ(31, previousRow);
    });
}

TEST_F(IconStripTest, AnEmptyGroupGetsAStripWithoutCells)
{
    GroupRecordBuilder builder(u"Icons");
    Build(builder.Build());
    EXPECT_EQ(0, m_app.m_sizeIconStrip.cx);
    EXPECT_EQ(32, m_app.m_sizeIconStrip.cy);
}

TEST_F(IconStripTest, IconsThatCannotBeDrawnSafelyLeaveTheirCellGrey)
{
    GroupRecordBuilder builder(u"Icons");
    builder.AddItem(GroupItem{u"Deep", u"A.EXE", 0, 0, BlankIcon(1, 24)});
    builder.AddItem(GroupItem{u"Wide", u"B.EXE", 10, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddItem(GroupItem{u"Packed", u"C.EXE", 20, 0, SolidIcon(4, Rgb(0, 0, 255))});
    RecordLayout at;
    std::vector<uint8_t> record = builder.Build(&at);
    PutU32(record, at.items[1].icon.info + 4, 4000);  // width: the platform would read far past the record
    PutU32(record, at.items[2].icon.info + 16, 2);    // a compressed image
    Build(record);
    WithStrip([&](HDC dc) {
        for (int cell = 0; cell < 3; ++cell)
            EXPECT_EQ(kGrey, GetPixel(dc, cell * 32 + 16, 16)) << cell;
    });
}

TEST_F(IconStripTest, ARecordThatChangedSinceTheItemsWereBuiltIsNotFollowed)
{
    GroupRecordBuilder builder(u"Icons");
    builder.AddItem(GroupItem{u"Red", u"A.EXE", 0, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddItem(GroupItem{u"Blue", u"B.EXE", 10, 0, SolidIcon(8, Rgb(0, 0, 255))});
    RecordLayout at;
    std::vector<uint8_t> record = builder.Build(&at);
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Icons", record));
    ASSERT_EQ(0, m_app.m_group.Load(kSource, LOAD_ITEMS));

    // The group is rewritten shorter in between: the second icon now lies past its end.
    record.resize(at.items[1].icon.bits + 10);
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Icons", record));
    m_app.BuildIconStrip(kSource);
    WithStrip([&](HDC dc) {
        EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, 16, 16));
        EXPECT_EQ(kGrey, GetPixel(dc, 48, 16));
    });

    // A source that cannot be read leaves the strip as it was.
    HBITMAP before = m_app.m_iconStrip.get();
    m_app.BuildIconStrip("UUNICODE Program Groups\\Gone");
    EXPECT_EQ(before, m_app.m_iconStrip.get());
}

TEST_F(IconStripTest, RebuildingPaintingAndRecreatingTheBarLeaveNoObjectsBehind)
{
    GroupRecordBuilder builder(u"Icons");
    for (int i = 0; i < 3; ++i)
        builder.AddItem(GroupItem{u"Item", u"X.EXE", i, 0, PatternIcon()});
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Icons", builder.Build()));
    m_app.m_nTitle = TITLE_VERTICAL;
    m_app.LoadGroups();
    ASSERT_EQ(3, m_app.m_group.ItemCount());

    auto recreate = [this] {
        DestroyWindow(m_app.m_pButtonWnd->m_hWnd);
        ASSERT_EQ(nullptr, m_app.m_pButtonWnd);
        m_app.m_pButtonWnd = new CButtonBarWnd();
        ShowWindow(m_app.m_pButtonWnd->m_hWnd, SW_SHOWNOACTIVATE);
    };
    auto rebuildAndPaint = [this] {
        EXPECT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
        RedrawWindow(m_app.m_pButtonWnd->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        m_app.m_pButtonWnd->DrawTitleStrip(nullptr, TRUE);
    };
    // Once first, for the platform's own caches.
    recreate();
    rebuildAndPaint();
    PumpMessages(50);
    const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS);
    const DWORD user = GuiObjectCount(GR_USEROBJECTS);
    for (int i = 0; i < 1000; ++i) {
        if (i % 100 == 99)
            recreate();
        rebuildAndPaint();
    }
    PumpMessages(50);
    EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
    EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
}

TEST_F(IconStripTest, RebuildSizesThePlacedBarForItsGroupAndKeepsItWhenTheGroupCannotBeRead)
{
    GroupRecordBuilder five(u"Five");
    for (int i = 0; i < 5; ++i)
        five.AddItem(GroupItem{u"Item", u"X.EXE", i, 0, SolidIcon(4, Rgb(255, 0, 0))});
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Five", five.Build()));
    m_app.m_nTitle = TITLE_NOTHING;
    m_app.m_nMaxInLine = 3;
    m_app.m_nPosition = POSITION_TOP_LEFT;
    m_app.m_nGroup = 0;
    m_app.LoadGroups();
    HWND bar = m_app.m_pButtonWnd->m_hWnd;
    auto windowRect = [bar] {
        RECT rc;
        GetWindowRect(bar, &rc);
        return rc;
    };

    ASSERT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
    RECT rc = windowRect();
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(0, rc.top);
    EXPECT_EQ(116, rc.right - rc.left);
    EXPECT_EQ(78, rc.bottom - rc.top);
    EXPECT_EQ(5 * 32, m_app.m_sizeIconStrip.cx);

    // The group went away from the registry: the rebuild fails and the bar stays as it was.
    ClearGroups();
    m_app.m_nMaxInLine = 99;
    EXPECT_FALSE(m_app.m_pButtonWnd->RebuildButtons());
    RECT after = windowRect();
    EXPECT_EQ(rc.right - rc.left, after.right - after.left);
    EXPECT_EQ(rc.bottom - rc.top, after.bottom - after.top);

    // An index that names no group shows one empty cell instead of reading past the list.
    m_app.m_nGroup = 4;
    EXPECT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
    EXPECT_EQ(0, m_app.m_group.ItemCount());
    after = windowRect();
    EXPECT_EQ(40, after.right - after.left);
    EXPECT_EQ(40, after.bottom - after.top);
}

// A switch to a group of the same layout draws only the images, over the old ones; the
// bar then shows what a whole repaint would.
TEST_F(IconStripTest, ASwitchToAGroupOfTheSameLayoutShowsWhatAWholeRepaintShows)
{
    const uint32_t colours[] = {Rgb(255, 0, 0), Rgb(0, 0, 255)};
    for (uint16_t g = 0; g < 2; ++g) {
        GroupRecordBuilder builder(u"Same");
        builder.Position(0, g);
        for (int i = 0; i < 3; ++i)
            builder.AddItem(GroupItem{u"Item", u"X.EXE", i, 0, SolidIcon(4, colours[g])});
        ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, g ? "B" : "A", builder.Build()));
    }
    m_app.m_nTitle = TITLE_HORIZONTAL;
    m_app.m_nPosition = POSITION_TOP_LEFT;
    m_app.m_nGroup = 0;
    m_app.LoadGroups();
    HWND bar = m_app.m_pButtonWnd->m_hWnd;
    ShowWindow(bar, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
    UpdateWindow(bar);
    auto shown = [bar] {
        RECT rc;
        GetClientRect(bar, &rc);
        std::vector<COLORREF> pixels;
        HDC dc = GetDC(bar);
        for (int y = 0; y < rc.bottom; ++y)
            for (int x = 0; x < rc.right; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        ReleaseDC(bar, dc);
        return pixels;
    };

    m_app.m_nGroup = 1;
    ASSERT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
    RECT update;
    EXPECT_FALSE(GetUpdateRect(bar, &update, FALSE));  // nothing left to paint whole
    const std::vector<COLORREF> switched = shown();
    RedrawWindow(bar, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(shown(), switched);
    EXPECT_NE(std::find(switched.begin(), switched.end(), AsColorRef(colours[1])), switched.end());
    EXPECT_EQ(std::find(switched.begin(), switched.end(), AsColorRef(colours[0])), switched.end());
}

TEST_F(IconStripTest, ARebuildWithoutAWindowLeavesEveryOtherWindowAlone)
{
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10, 60, 40, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, other);
    UpdateWindow(other);
    PumpMessages(50);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(other, &update, FALSE));

    // The bar as it is when its window could not be created.
    HWND bar = m_app.m_pButtonWnd->m_hWnd;
    m_app.m_pButtonWnd->m_hWnd = nullptr;
    m_app.m_nGroup = -1;
    EXPECT_TRUE(m_app.m_pButtonWnd->RebuildButtons());
    m_app.m_pButtonWnd->m_hWnd = bar;
    EXPECT_FALSE(GetUpdateRect(other, &update, FALSE));
    DestroyWindow(other);
}

TEST_F(IconStripTest, AGroupOfEveryItemSlotGetsAStripNoWiderThanAWindow)
{
    m_app.m_nButtonWidth = 32;
    m_app.m_nButtonHeight = 32;
    Build(OneItemInEverySlotRecord(40000));
    ASSERT_EQ(0xFFFF, m_app.m_group.ItemCount());
    EXPECT_EQ(1023 * 32, m_app.m_sizeIconStrip.cx);
    BITMAP info = {};
    ASSERT_TRUE(GetObjectA(m_app.m_iconStrip.get(), sizeof info, &info));
    EXPECT_EQ(1023 * 32, info.bmWidth);
    WithStrip([](HDC dc) {
        EXPECT_EQ(RGB(0, 128, 255), GetPixel(dc, 5, 5));
        EXPECT_EQ(RGB(0, 128, 255), GetPixel(dc, 1022 * 32 + 31, 31));
    });
}

}  // namespace
