// The bar's timer and title popup in this process, against the real cursor, keys,
// windows and system parameters: popping up from an edge, hiding, the hot keys, GroupUp,
// Fixed, the kept rectangle, the screen-saver hold-off, and the item and group popups.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "buttonbar/title_popup.h"
#include "resource.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

void SendKey(int key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(key);
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Holds Shift, Ctrl and Alt for a while, pressed again every 50 ms as a held key repeats
// (Wine forgets injected keys when the activation moves), then releases Alt first, so
// that its release does not open the group menu.
void HoldHotKeys(DWORD milliseconds)
{
    for (DWORD held = 0; held < milliseconds; held += 50) {
        for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
            SendKey(key, false);
        PumpMessages(50);
    }
}

void ReleaseHotKeys()
{
    for (int key : {VK_MENU, VK_CONTROL, VK_SHIFT})
        SendKey(key, true);
    PumpMessages(50);
}

RECT WindowRect(HWND hWnd)
{
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(hWnd, &rc);
    return rc;
}

bool Topmost(HWND hWnd)
{
    return (GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Counts the visible disabled windows, the title popups, into *(int*)count.
BOOL CALLBACK CountShownPopups(HWND hWnd, LPARAM count)
{
    if (IsWindowVisible(hWnd) && (GetWindowLongA(hWnd, GWL_STYLE) & WS_DISABLED))
        ++*reinterpret_cast<int*>(count);
    return TRUE;
}

class VisibilityTest : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_app.m_nButtonWidth = 32;
        m_app.m_nButtonHeight = 32;
        m_app.m_nMaxInLine = 3;
        m_app.m_nTitle = TITLE_HORIZONTAL;
        m_app.m_nPopup = POPUP_POPUP;
        m_app.m_nPosition = POSITION_FREE;
        m_app.m_nPopupTitle = POPUPTITLE_ALWAYS;
        m_app.m_rcWindow = {300, 200, 400, 300};
        PrepareBar();
        m_strip = GetSystemMetrics(SM_CYCAPTION) + 1;
    }

    // Groups G0, G1, ... of these sizes, items titled "Item <group>.<n>".
    void PutGroups(const std::vector<int>& sizes)
    {
        for (size_t g = 0; g < sizes.size(); ++g) {
            const std::string name = "G" + std::to_string(g);
            GroupRecordBuilder builder(std::u16string(name.begin(), name.end()));
            builder.Position(static_cast<uint16_t>(10 * g), 0);
            for (int i = 0; i < sizes[g]; ++i) {
                const std::string title = "Item " + std::to_string(g) + "." + std::to_string(i);
                builder.AddItem(GroupItem{std::u16string(title.begin(), title.end()), u"X.EXE", 10 * i, 0,
                                          SolidIcon(4, Rgb(static_cast<uint8_t>(60 * i), 160, 90))});
            }
            ASSERT_TRUE(PutUserGroup(name, builder.Build()));
        }
    }

    // Starts the bar as start-up does: placed, and shown by the mode's show state.
    HWND StartBar()
    {
        m_app.m_pButtonWnd = new CButtonBarWnd();
        m_app.LoadGroups();
        m_app.BuildIconStrip(m_app.m_group.m_strSource);
        const SIZE size = m_app.ButtonWindowSize();
        m_app.PlaceButtonWindow(size.cx, size.cy);
        HWND bar = m_app.m_pButtonWnd->m_hWnd;
        ShowWindow(bar, m_app.m_nCmdShow);
        PumpMessages(50);
        return bar;
    }

    void PlaceCursor(POINT at)
    {
        WaitUntil([&] {
            SetCursorPos(at.x, at.y);
            PumpMessages(20);
            POINT now = {-1, -1};
            GetCursorPos(&now);
            return now.x == at.x && now.y == at.y;
        }, 2000);
    }

    // Puts the pointer at `at` and lets the timer tick.
    void RestAt(POINT at, DWORD milliseconds)
    {
        PlaceCursor(at);
        PumpMessages(milliseconds);
    }

    // The hit test at a client point of the bar, as the platform sends it on a movement.
    LRESULT HitAt(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(Bar().m_hWnd, &point);
        return SendMessageA(Bar().m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(point.x, point.y));
    }

    HWND PopupWindow() { return Bar().m_pTitlePopup ? Bar().m_pTitlePopup->m_hWnd : nullptr; }

    int m_strip = 0;
};

TEST_F(VisibilityTest, PopUpRestsOnAnEdgeShowsCentredTopmostInactiveAndHidesAway)
{
    PutGroups({5});
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    RestAt(POINT{500, 400}, 300);
    HWND bar = StartBar();
    EXPECT_FALSE(IsWindowVisible(bar)) << "hidden at start";
    RestAt(POINT{0, 400}, 250);
    EXPECT_FALSE(IsWindowVisible(bar)) << "not before the fifth tick";
    PumpMessages(500);
    ASSERT_TRUE(IsWindowVisible(bar));
    const RECT rc = WindowRect(bar);
    const int h = rc.bottom - rc.top;
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(400 - h / 2, rc.top);
    EXPECT_TRUE(Topmost(bar));
    EXPECT_NE(bar, GetActiveWindow());
    EXPECT_EQ(SW_SHOWNOACTIVATE, m_app.m_nCmdShow);
    EXPECT_EQ(rc.left, m_app.m_rcWindow.left) << "the place is kept";

    // 2 pixels right of the window keeps it; 3 hide it.
    RestAt(POINT{rc.right + 1, rc.top + 10}, 250);
    EXPECT_TRUE(IsWindowVisible(bar));
    RestAt(POINT{rc.right + 2, rc.top + 10}, 250);
    EXPECT_FALSE(IsWindowVisible(bar));
    EXPECT_EQ(SW_HIDE, m_app.m_nCmdShow);

    // The bottom-right corner: clamped to the screen.
    const int S = GetSystemMetrics(SM_CXSCREEN), T = GetSystemMetrics(SM_CYSCREEN);
    RestAt(POINT{S - 1, T - 1}, 800);
    const RECT corner = WindowRect(bar);
    EXPECT_EQ(S, corner.right);
    EXPECT_EQ(T, corner.bottom);
    DestroyWindow(other);
}

TEST_F(VisibilityTest, HotKeysShowAtOnceActiveAndTheBarFollowsThePointer)
{
    PutGroups({2});
    HWND bar = StartBar();
    RestAt(POINT{500, 400}, 150);
    HoldHotKeys(250);
    EXPECT_TRUE(IsWindowVisible(bar));
    RECT rc = WindowRect(bar);
    EXPECT_EQ(500, rc.left + (rc.right - rc.left) / 2);
    EXPECT_EQ(SW_SHOWNORMAL, m_app.m_nCmdShow);
    EXPECT_EQ(bar, GetActiveWindow());
    PlaceCursor(POINT{200, 300});
    HoldHotKeys(250);
    rc = WindowRect(bar);
    EXPECT_EQ(200, rc.left + (rc.right - rc.left) / 2) << "follows the pointer";
    ReleaseHotKeys();
    PumpMessages(250);
    EXPECT_TRUE(IsWindowVisible(bar)) << "released on the bar: stays";
    RestAt(POINT{700, 700}, 250);
    EXPECT_FALSE(IsWindowVisible(bar));
}

TEST_F(VisibilityTest, FixedIsNeverMovedShownOrHiddenByTheTimer)
{
    PutGroups({2});
    m_app.m_nPopup = POPUP_FIXED;
    HWND bar = StartBar();
    const RECT before = WindowRect(bar);
    RestAt(POINT{0, 300}, 800);
    RestAt(POINT{900, 700}, 300);
    EXPECT_TRUE(IsWindowVisible(bar));
    const RECT after = WindowRect(bar);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    // Hot keys activate it where it is.
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetActiveWindow(other);
    HoldHotKeys(250);
    EXPECT_EQ(bar, GetActiveWindow());
    ReleaseHotKeys();
    EXPECT_EQ(bar, GetActiveWindow());
    EXPECT_EQ(before.left, WindowRect(bar).left);
    DestroyWindow(other);
}

TEST_F(VisibilityTest, GroupUpShowsTheGroupOfThePartOfTheEdge)
{
    PutGroups({1, 2, 3, 4});
    m_app.m_nPopup = POPUP_GROUPUP;
    HWND bar = StartBar();
    const int S = GetSystemMetrics(SM_CXSCREEN), T = GetSystemMetrics(SM_CYSCREEN);
    const int expect[] = {0, 1, 2, 3};
    for (int g : expect) {
        RestAt(POINT{500, 400}, 250);  // away: hidden again
        RestAt(POINT{(S - 1) * g / 4 + (S - 1) / 8, 0}, 800);
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_EQ(g, m_app.m_nGroup);
        EXPECT_EQ(g + 1, m_app.m_group.ItemCount());
    }
    RestAt(POINT{500, 400}, 250);
    RestAt(POINT{0, T - 1}, 800);
    EXPECT_EQ(3, m_app.m_nGroup) << "the bottom-left corner counts by y";
}

TEST_F(VisibilityTest, ADraggedBarKeepsItsPlaceAsWindow)
{
    PutGroups({3});
    m_app.m_nPopup = POPUP_FIXED;
    HWND bar = StartBar();
    // The strip answers as the caption, so a press there drags the window.
    EXPECT_EQ(HTCAPTION, HitAt(10, 3));
    SetWindowPos(bar, nullptr, 123, 234, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const RECT rc = WindowRect(bar);
    EXPECT_EQ(123, m_app.m_rcWindow.left);
    EXPECT_EQ(234, m_app.m_rcWindow.top);
    EXPECT_EQ(rc.right, m_app.m_rcWindow.right);
    DestroyWindow(bar);
    const std::string saved = ReadProfile(m_app.ProfileName(), "Quillbar", "Window");
    EXPECT_EQ(0u, saved.find("123,234," + std::to_string(rc.right) + "," + std::to_string(rc.bottom))) << saved;
}

// Wine keeps a parameter set without updating the profile in a volatile key; a set shows there.
const char kVolatileDesktop[] = "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop";

bool SaverTimeoutWasSet()
{
    char value[64] = {};
    DWORD size = sizeof value;
    return RegGetValueA(HKEY_CURRENT_USER, kVolatileDesktop, "ScreenSaveTimeOut", RRF_RT_ANY, nullptr, value,
                        &size) == ERROR_SUCCESS;
}

TEST_F(VisibilityTest, StopSaverSetsTheTimeOutAgainWhileThePointerRestsOnTheBar)
{
    PutGroups({3});
    m_app.m_nPopup = POPUP_FIXED;
    m_app.m_bStopSaver = 1;
    HWND bar = StartBar();
    const RECT rc = WindowRect(bar);
    RestAt(POINT{rc.left + 20, rc.top + 30}, 100);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kVolatileDesktop, "ScreenSaveTimeOut");
    PumpMessages(1400);
    EXPECT_TRUE(SaverTimeoutWasSet());
    RestAt(POINT{rc.right + 50, rc.bottom + 50}, 100);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kVolatileDesktop, "ScreenSaveTimeOut");
    PumpMessages(1400);
    EXPECT_FALSE(SaverTimeoutWasSet()) << "not while the pointer is off the bar";
}

TEST_F(VisibilityTest, ItemAndGroupPopupsFollowThePointerOneAtATime)
{
    PutGroups({5});
    m_app.m_nPopup = POPUP_FIXED;
    HWND bar = StartBar();
    PlaceCursor(POINT{800, 700});

    // Across three buttons: one popup at the end, titled by the last, just above its cell.
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(HTCLIENT, HitAt(38 * column + 19, m_strip + 19));
    ASSERT_NE(nullptr, PopupWindow());
    EXPECT_EQ(2, Bar().m_nTitleItem);
    EXPECT_EQ("Item 0.2", Bar().m_pTitlePopup->m_strText);
    int popups = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountShownPopups, reinterpret_cast<LPARAM>(&popups));
    EXPECT_EQ(1, popups);
    POINT cell = {38 * 2 - 1, m_strip};
    ClientToScreen(bar, &cell);
    RECT popup = WindowRect(PopupWindow());
    EXPECT_EQ(cell.x, popup.left);
    EXPECT_EQ(cell.y, popup.bottom);
    PumpMessages(100);
    EXPECT_TRUE(SaveScreenshot("bar-item-title"));

    // The strip names the group, above the window, and stays the drag handle.
    EXPECT_EQ(HTCAPTION, HitAt(10, 3));
    ASSERT_NE(nullptr, PopupWindow());
    EXPECT_EQ("G0", Bar().m_pTitlePopup->m_strText);
    EXPECT_EQ(-1, Bar().m_nTitleItem);
    popup = WindowRect(PopupWindow());
    EXPECT_EQ(WindowRect(bar).top, popup.bottom);
    PumpMessages(100);
    EXPECT_TRUE(SaveScreenshot("bar-group-name"));

    // The empty end of the last row removes it.
    EXPECT_EQ(HTCLIENT, HitAt(38 * 2 + 19, m_strip + 38 + 19));
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup);

    // Touching a popup removes it.
    HitAt(19, m_strip + 19);
    ASSERT_NE(nullptr, PopupWindow());
    popup = WindowRect(PopupWindow());
    PlaceCursor(POINT{popup.left + 5, popup.top + 5});
    SendMessageA(PopupWindow(), WM_SETCURSOR, reinterpret_cast<WPARAM>(PopupWindow()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    PumpMessages(50);
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup);
    EXPECT_EQ(-1, Bar().m_nTitleItem);
    HitAt(19, m_strip + 19);
    EXPECT_NE(nullptr, Bar().m_pTitlePopup) << "back at the next movement over the same button";
    SendMessageA(bar, WM_COMMAND, IDM_CLOSETITLE, 0);
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup);
}

TEST_F(VisibilityTest, ButtonTitleDisableAndActive)
{
    PutGroups({5});
    m_app.m_nPopup = POPUP_FIXED;
    m_app.m_nPopupTitle = POPUPTITLE_DISABLE;
    HWND bar = StartBar();
    HitAt(19, m_strip + 19);
    EXPECT_EQ(HTCAPTION, HitAt(10, 3));
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup) << "401: never";

    m_app.m_nPopupTitle = POPUPTITLE_ACTIVE;
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 600, 50, 50, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    SetActiveWindow(other);
    HitAt(19, m_strip + 19);
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup) << "402 while inactive";
    SetActiveWindow(bar);
    HitAt(19, m_strip + 19);
    EXPECT_NE(nullptr, Bar().m_pTitlePopup) << "402 once active";
    // Losing the focus removes it.
    SetActiveWindow(other);
    PumpMessages(50);
    EXPECT_EQ(nullptr, Bar().m_pTitlePopup);
    DestroyWindow(other);
}

TEST_F(VisibilityTest, VerticalStripAtTheRightEdgePutsTheGroupNameLeftOfTheBar)
{
    PutGroups({1});
    m_app.m_nPopup = POPUP_FIXED;
    m_app.m_nTitle = TITLE_VERTICAL;
    m_app.m_nPosition = POSITION_BOTTOM_RIGHT;
    HWND bar = StartBar();
    m_app.m_group.m_strName = "A group name wider than the strip";
    EXPECT_EQ(HTCAPTION, HitAt(3, 40));
    ASSERT_NE(nullptr, PopupWindow());
    EXPECT_LE(WindowRect(PopupWindow()).right, WindowRect(bar).left + 1);
    EXPECT_GE(WindowRect(PopupWindow()).left, 0);
}

TEST_F(VisibilityTest, AThousandPopupsLeaveNoObjectsBehind)
{
    PutGroups({3});
    m_app.m_nPopup = POPUP_FIXED;
    StartBar();
    HitAt(19, m_strip + 19);
    Bar().HideTitlePopup();
    PumpMessages(50);
    const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS), user = GuiObjectCount(GR_USEROBJECTS);
    for (int i = 0; i < 1000; ++i) {
        HitAt(38 * (i % 3) + 19, m_strip + 19);
        if (i % 2)
            HitAt(10, 3);  // the group name between items
        UpdateWindow(PopupWindow());
    }
    Bar().HideTitlePopup();
    PumpMessages(50);
    EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
    EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
}

}  // namespace
