// The button window's input and commands in this process, against real windows, menus,
// hooks and input: pressing and sliding off, the group menu (right button, its drag
// through the entries, Alt), the keys, and every command of the handler.
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "resource.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/recorder_log.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {


// A group of n items, ordered by its position key, each icon in its own colour.
std::vector<uint8_t> Group(const std::u16string& name, int n, uint16_t order)
{
    GroupRecordBuilder builder(name);
    builder.Position(order, 0);
    for (int i = 0; i < n; ++i)
        builder.AddItem(GroupItem{u"Item", u"X.EXE", 10 * i, 0,
                                  SolidIcon(4, Rgb(static_cast<uint8_t>(40 * i), 200, static_cast<uint8_t>(255 - 20 * i)))});
    return builder.Build();
}

// Whatever a test wants done while a menu is tracked (it runs from a thread timer, which
// the menu's own loop dispatches); the menu is then closed unless the step chose an entry.
std::function<void(HWND menuWindow)> g_whileMenuOpen;
int g_menusSeen = 0;

HWND FindMenuWindow()
{
    return FindWindowA("#32768", nullptr);
}

void CALLBACK InsideMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menu = FindMenuWindow();
    if (!menu || !IsWindowVisible(menu))
        return;  // not open yet: try again on the next tick
    KillTimer(nullptr, id);
    ++g_menusSeen;
    if (g_whileMenuOpen)
        g_whileMenuOpen(menu);
    else
        EndMenu();
}

// Records what the session-ending commands ask of the platform instead of ending it.
std::vector<std::pair<UINT, DWORD>> g_exitRequests;
bool g_privilegeEnabledAtRequest = false;

bool ShutdownPrivilegeEnabled()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LUID luid;
    LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &luid);
    PRIVILEGE_SET set = {};
    set.PrivilegeCount = 1;
    set.Privilege[0].Luid = luid;
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

void SetShutdownPrivilege(bool enable)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    privileges.Privileges[0].Attributes = enable ? SE_PRIVILEGE_ENABLED : 0;
    AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
}

BOOL WINAPI RecordExitRequest(UINT flags, DWORD reason)
{
    g_exitRequests.emplace_back(flags, reason);
    g_privilegeEnabledAtRequest = ShutdownPrivilegeEnabled();
    return TRUE;
}

class CountingApp : public CLaunchApp {
public:
    void ShowAbout() override { ++m_nAbout; }
    int m_nAbout = 0;
};

class InputTest : public AppTestOf<CountingApp> {
protected:
    void SetUp() override
    {
        AppTestOf::SetUp();
        m_app.m_nButtonWidth = 32;
        m_app.m_nButtonHeight = 32;
        m_app.m_nMaxInLine = 3;
        m_app.m_nTitle = TITLE_NOTHING;
        m_app.m_nPopup = POPUP_FIXED;
        m_app.m_nPosition = POSITION_TOP_LEFT;
        m_app.m_bTopMost = 1;
        m_app.m_rcWindow = {0, 0, 100, 100};
        PrepareBar();
        g_whileMenuOpen = nullptr;
        g_menusSeen = 0;
        g_exitRequests.clear();
    }

    void TearDown() override
    {
        CButtonBarWnd::s_pfnExitWindows = ::ExitWindowsEx;
        if (GetCapture())
            ReleaseCapture();
        AppTestOf::TearDown();
        g_whileMenuOpen = nullptr;
    }

    // Puts groups of these sizes into the registry, named G0, G1, ... in that order.
    void PutGroups(const std::vector<int>& sizes)
    {
        for (size_t i = 0; i < sizes.size(); ++i) {
            const std::string name = "G" + std::to_string(i);
            ASSERT_TRUE(PutUserGroup(name, Group(std::u16string(name.begin(), name.end()), sizes[i],
                                             static_cast<uint16_t>(10 * i))));
        }
    }

    // Starts the bar as start-up does, shown and active at the top-left corner.
    HWND StartBar()
    {
        m_app.m_pButtonWnd = new CButtonBarWnd();
        m_app.LoadGroups();
        m_app.BuildIconStrip(m_app.m_group.m_strSource);
        const SIZE size = m_app.ButtonWindowSize();
        m_app.PlaceButtonWindow(size.cx, size.cy);
        HWND bar = m_app.m_pButtonWnd->m_hWnd;
        if (m_app.m_bTopMost)
            SetWindowPos(bar, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
        ShowWindow(bar, SW_SHOWNORMAL);
        UpdateWindow(bar);
        SetForegroundWindow(bar);
        PumpMessages(100);
        return bar;
    }

    // Screen position of a client point of the bar.
    POINT Screen(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(Bar().m_hWnd, &point);
        return point;
    }

    // Moves the pointer and waits until the display agrees, so that what a key reads is
    // where the test put it, not a report of an older position still on its way.
    void PlaceCursor(POINT at)
    {
        WaitUntil([&] {
            SetCursorPos(at.x, at.y);
            PumpMessages(20);
            const POINT now = Cursor();
            return now.x == at.x && now.y == at.y;
        }, 2000);
    }

    POINT Cursor()
    {
        POINT point = {-1, -1};
        GetCursorPos(&point);
        return point;
    }

    void Key(UINT key) { SendMessageA(Bar().m_hWnd, WM_KEYDOWN, key, 1); }

    // Opens the group menu with the right button at a client point; `inside` runs while it is up.
    void WithMenu(POINT client, std::function<void(HWND)> inside)
    {
        g_whileMenuOpen = std::move(inside);
        UINT_PTR timer = SetTimer(nullptr, 0, 20, InsideMenu);
        SendMessageA(Bar().m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(client.x, client.y));
        KillTimer(nullptr, timer);
    }

    std::string Saved(const char* key) { return ReadProfile(m_app.ProfileName(), "Quillbar", key); }
};

COLORREF WindowPixel(HWND hWnd, int x, int y)
{
    HDC dc = GetDC(hWnd);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(hWnd, dc);
    return colour;
}

TEST_F(InputTest, PressingDrawsTheButtonPressedAndSlidingOffDisarmsItForGood)
{
    PutGroups({5});
    HWND bar = StartBar();
    // Item 4: row 1, column 1; its image starts at (38 + 3, 38 + 3).
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 50));
    EXPECT_EQ(1, Bar().m_bCaptured);
    EXPECT_EQ(1, Bar().m_bButtonDown);
    EXPECT_EQ(bar, GetCapture());
    EXPECT_EQ(4, Bar().m_nPressedItem);
    EXPECT_EQ(41, Bar().m_ptPressed.x);
    EXPECT_EQ(41, Bar().m_ptPressed.y);
    // Drawn pressed: dark grey outer band at the top left, the image moved by 2 pixels.
    EXPECT_EQ(RGB(128, 128, 128), WindowPixel(bar, 41 - 2, 41 + 10));
    EXPECT_EQ(RGB(192, 192, 192), WindowPixel(bar, 41 + 10, 41));
    EXPECT_TRUE(SaveScreenshot("bar-button-pressed"));

    // Moving inside the cell, edges included, keeps it pressed.
    for (POINT p : {POINT{38, 38}, POINT{41 + 35, 41 + 35}, POINT{50, 50}}) {
        SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(1, Bar().m_bButtonDown) << p.x << "," << p.y;
    }
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(41 + 36, 50));
    EXPECT_EQ(0, Bar().m_bButtonDown);
    EXPECT_EQ(RGB(255, 255, 255), WindowPixel(bar, 41 - 2, 41 + 10)) << "drawn raised again";
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
    EXPECT_EQ(0, Bar().m_bButtonDown) << "coming back does not press again";
    EXPECT_EQ(RGB(255, 255, 255), WindowPixel(bar, 41 - 2, 41 + 10));
    EXPECT_EQ(1, Bar().m_bCaptured) << "the capture lasts until the release";
}

TEST_F(InputTest, PressesOffTheButtonsDrawNothingButTakeTheCapture)
{
    PutGroups({5});
    m_app.m_nTitle = TITLE_VERTICAL;
    HWND bar = StartBar();
    const int t = GetSystemMetrics(SM_CYCAPTION) + 1;
    const COLORREF before = WindowPixel(bar, t + 76 + 3 - 2, 38 + 3 + 10);
    // The empty end of the last row, and the strip left of the grid.
    for (POINT p : {POINT{t + 76 + 10, 38 + 10}, POINT{t - 1, 10}}) {
        SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(0, Bar().m_bButtonDown) << p.x << "," << p.y;
        EXPECT_EQ(1, Bar().m_bCaptured);
        EXPECT_EQ(bar, GetCapture());
        ReleaseCapture();
    }
    EXPECT_EQ(before, WindowPixel(bar, t + 76 + 3 - 2, 38 + 3 + 10)) << "nothing drawn in the empty cell";
}

TEST_F(InputTest, TheMenuListsEveryGroupChecksTheCurrentAndCarriesTheSystemSubmenu)
{
    PutGroups({1, 2, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    m_app.m_nGroup = 10;
    StartBar();
    std::vector<std::string> labels;
    std::vector<UINT> states, ids, systemIds;
    bool menuOpen = false, hooked = false;
    WithMenu(POINT{10, 10}, [&](HWND menuWindow) {
        menuOpen = Bar().m_bMenuOpen == 1;
        hooked = Bar().m_hMenuHook != nullptr;
        EXPECT_TRUE(SaveScreenshot("bar-group-menu"));
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            labels.push_back(text);
            states.push_back(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION));
            ids.push_back(GetMenuItemID(menu, i));
        }
        HMENU system = GetSubMenu(menu, GetMenuItemCount(menu) - 1);
        for (int i = 0; i < GetMenuItemCount(system); ++i)
            systemIds.push_back(GetMenuItemID(system, i));
        EndMenu();
    });
    EXPECT_EQ(1, g_menusSeen);
    EXPECT_TRUE(menuOpen);
    EXPECT_TRUE(hooked);
    EXPECT_EQ(0, Bar().m_bMenuOpen);
    EXPECT_EQ(nullptr, Bar().m_hMenuHook) << "the filter lives only while the menu is up";
    ASSERT_EQ(14u, labels.size());
    EXPECT_EQ(" &1:G0", labels[0]);
    EXPECT_EQ(" &9:G8", labels[8]);
    EXPECT_EQ("1&0:G9", labels[9]);
    EXPECT_EQ("1&2:G11", labels[11]);
    for (size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(IDM_GROUP_FIRST + i, ids[i]);
        EXPECT_EQ(i == 10, (states[i] & MF_CHECKED) != 0) << i;
    }
    EXPECT_TRUE(states[12] & MF_SEPARATOR);
    EXPECT_EQ("&System", labels[13]);
    EXPECT_EQ((std::vector<UINT>{IDM_RESTART, 0, IDM_EXITWINDOWS, IDM_RESTARTWINDOWS, IDM_REBOOT, 0, IDM_IMPORTSTARTMENU}),
              systemIds);
}

// The right-button drag, one step per tick of a thread timer that the menu's loop
// serves: nothing may pump messages inside the menu but the menu itself.
HWND g_dragBar = nullptr;
POINT g_dragStart = {0, 0};
int g_dragStep = 0;

void CALLBACK DragThroughMenu(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND menuWindow = FindMenuWindow();
    const bool open = menuWindow && IsWindowVisible(menuWindow);
    if (g_dragStep == 0 && !open)
        return;
    switch (g_dragStep++) {
    case 0:
        ++g_menusSeen;
        SendMouse(MOUSEEVENTF_MOVE, POINT{g_dragStart.x + 1, g_dragStart.y + 1});  // the first movement
        break;
    case 1:
        break;  // a pause, so that the next movement counts as the drag
    case 2:
    case 3: {
        // Moved twice: the display may still report the pointer's old place once.
        HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        RECT third = {};
        GetMenuItemRect(g_dragBar, menu, 2, &third);
        SendMouse(MOUSEEVENTF_MOVE, POINT{(third.left + third.right) / 2, (third.top + third.bottom) / 2});
        break;
    }
    case 4:
        SendMouse(MOUSEEVENTF_RIGHTUP);
        break;
    default:
        if (open && g_dragStep < 20)
            break;
        if (open) {
            ADD_FAILURE() << "the release did not close the menu";
            EndMenu();
        }
        KillTimer(nullptr, id);
        break;
    }
}

TEST_F(InputTest, TheRightButtonDraggedOntoAnEntryChoosesIt)
{
    PutGroups({1, 2, 3});
    g_dragBar = StartBar();
    g_dragStart = Screen(15, 15);
    g_dragStep = 0;
    PlaceCursor(g_dragStart);
    UINT_PTR timer = SetTimer(nullptr, 0, 150, DragThroughMenu);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages(20);
        return m_app.m_nGroup == 2;
    }, 8000));
    KillTimer(nullptr, timer);
    EXPECT_EQ(1, g_menusSeen);
    EXPECT_EQ(3, m_app.m_group.ItemCount());
    m_app.SaveSettings();
    EXPECT_EQ("2", Saved("Group"));
}

TEST_F(InputTest, AltAloneOpensTheMenuAtTheClientCornerWithoutTheFilter)
{
    PutGroups({2});
    // Away from the screen's edges, so that the menu is not pushed back onto the screen.
    m_app.m_nPosition = POSITION_FREE;
    m_app.m_rcWindow = {300, 300, 400, 400};
    HWND bar = StartBar();
    RECT menuRect = {};
    bool hooked = true;
    g_whileMenuOpen = [&](HWND menuWindow) {
        GetWindowRect(menuWindow, &menuRect);
        hooked = Bar().m_hMenuHook != nullptr;
        EndMenu();
    };
    UINT_PTR timer = SetTimer(nullptr, 0, 20, InsideMenu);
    SendMessageA(bar, WM_SYSKEYUP, VK_MENU, 0xC0000001);
    KillTimer(nullptr, timer);
    EXPECT_EQ(1, g_menusSeen);
    EXPECT_FALSE(hooked);
    EXPECT_EQ(0, Bar().m_bKeyboardMenu);
    const POINT corner = Screen(0, 0);
    EXPECT_EQ(corner.x, menuRect.left);
    EXPECT_EQ(corner.y - 8, menuRect.top);

    // With Shift or Ctrl held, or for another key, nothing opens.
    BYTE keys[256];
    GetKeyboardState(keys);
    for (int modifier : {VK_SHIFT, VK_CONTROL}) {
        BYTE held[256];
        std::copy(keys, keys + 256, held);
        held[modifier] = 0x80;
        SetKeyboardState(held);
        timer = SetTimer(nullptr, 0, 20, InsideMenu);
        SendMessageA(bar, WM_SYSKEYUP, VK_MENU, 0xC0000001);
        PumpMessages(100);
        KillTimer(nullptr, timer);
        SetKeyboardState(keys);
    }
    timer = SetTimer(nullptr, 0, 20, InsideMenu);
    SendMessageA(bar, WM_SYSKEYUP, 'X', 0xC0000001);
    PumpMessages(100);
    KillTimer(nullptr, timer);
    EXPECT_EQ(1, g_menusSeen);
}

TEST_F(InputTest, HomeEndAndTheArrowsMoveThePointerBetweenButtons)
{
    PutGroups({5});
    m_app.m_nTitle = TITLE_HORIZONTAL;
    StartBar();
    const int t = GetSystemMetrics(SM_CYCAPTION) + 1;
    // Each key moves the pointer; the next one starts from where the pointer settled.
    auto keyTo = [&](UINT key, int x, int y) {
        Key(key);
        const POINT expected = Screen(x, y + t);
        const bool reached = WaitUntil([&] {
            PumpMessages(10);
            const POINT now = Cursor();
            return now.x == expected.x && now.y == expected.y;
        }, 2000);
        const POINT now = Cursor();
        PlaceCursor(now);
        return reached ? std::string("ok") : std::to_string(now.x) + "," + std::to_string(now.y);
    };
    EXPECT_EQ("ok", keyTo(VK_HOME, 19, 19));
    EXPECT_EQ("ok", keyTo(VK_END, 57, 57)) << "item 4";
    EXPECT_EQ("ok", keyTo(VK_RIGHT, 19, 57)) << "the empty cell is passed over: item 3";
    EXPECT_EQ("ok", keyTo(VK_UP, 19, 19));
    EXPECT_EQ("ok", keyTo(VK_LEFT, 95, 19)) << "wraps to the row's last item";
    EXPECT_EQ("ok", keyTo(VK_DOWN, 95, 19)) << "no item below item 2: back to the top";

    // Off the buttons, Right and Down start at the first button, Left and Up at the last.
    PlaceCursor(Screen(5, 2));
    EXPECT_EQ("ok", keyTo(VK_DOWN, 19, 19));
    PlaceCursor(Screen(5, 2));
    EXPECT_EQ("ok", keyTo(VK_LEFT, 57, 57));
}

TEST_F(InputTest, ReturnClicksTheButtonUnderThePointer)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string log = std::string(temp) + "quillbar-return.log";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", log.c_str());
    GroupRecordBuilder builder(u"Recorded");
    for (const char* argument : {" first", " second", " third"}) {
        const std::string command = RecorderPath() + argument;
        builder.AddItem(GroupItem{u"Item", std::u16string(command.begin(), command.end()), 0, 0, {}});
    }
    ASSERT_TRUE(PutUserGroup("Recorded", builder.Build()));
    StartBar();
    PlaceCursor(Screen(38 + 19, 19));
    Key(VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] {
        PumpMessages(20);
        return !ReadRecorderLog(log).empty();
    }));
    const std::vector<RecordedStart> starts = ReadRecorderLog(log);
    ASSERT_EQ(1u, starts.size());
    EXPECT_NE(std::string::npos, starts[0].commandLine.find(" second")) << starts[0].commandLine;
    EXPECT_EQ(0, Bar().m_bCaptured) << "the posted release ended the press";
    SetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", nullptr);
    DeleteFileA(log.c_str());
}

TEST_F(InputTest, PageKeysStepThroughTheGroupsAndWrap)
{
    PutGroups({1, 2, 3});
    m_app.m_nGroup = 2;
    HWND bar = StartBar();
    RECT before;
    GetWindowRect(bar, &before);
    Key(VK_NEXT);
    EXPECT_EQ(0, m_app.m_nGroup) << "Page Down on the last group wraps to the first";
    EXPECT_EQ(1, m_app.m_group.ItemCount());
    RECT after;
    GetWindowRect(bar, &after);
    EXPECT_EQ(38 + 2, after.right - after.left) << "rebuilt for one item";
    Key(VK_PRIOR);
    EXPECT_EQ(2, m_app.m_nGroup) << "Page Up on the first goes to the last";
    Key(VK_PRIOR);
    EXPECT_EQ(1, m_app.m_nGroup);
    EXPECT_EQ(2, m_app.m_group.ItemCount());
}

TEST_F(InputTest, WithoutGroupsThePageKeysAndGroupCommandsChangeNothing)
{
    m_app.m_nGroup = 0;
    HWND bar = StartBar();
    ASSERT_TRUE(m_app.m_groupSources.empty());
    const int group = m_app.m_nGroup;
    Key(VK_NEXT);
    Key(VK_PRIOR);
    SendMessageA(bar, WM_COMMAND, IDM_GROUP_FIRST, 0);
    EXPECT_EQ(group, m_app.m_nGroup);
    EXPECT_TRUE(IsWindow(bar));
}

TEST_F(InputTest, EscapeGivesUpTheBarAsThePopupModeSays)
{
    PutGroups({1});
    HWND bar = StartBar();
    Key(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(bar)) << "Fixed and topmost: shown again, topmost";
    EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(SW_SHOWNORMAL, m_app.m_nCmdShow);

    m_app.m_nPopup = POPUP_POPUP;
    Key(VK_ESCAPE);
    EXPECT_FALSE(IsWindowVisible(bar)) << "PopUp: hidden until the cursor calls it";
    EXPECT_EQ(SW_HIDE, m_app.m_nCmdShow);

    m_app.m_nPopup = POPUP_FIXED;
    m_app.m_bTopMost = 0;
    SetWindowPos(bar, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
    Key(VK_ESCAPE);
    EXPECT_TRUE(IsWindowVisible(bar)) << "Fixed without TopMost: shown again, at the bottom";
    EXPECT_FALSE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(InputTest, GroupCommandsChooseExistingGroupsOnly)
{
    PutGroups({1, 2, 3, 4, 5});
    HWND bar = StartBar();
    SendMessageA(bar, WM_COMMAND, IDM_GROUP_FIRST + 3, 0);
    EXPECT_EQ(3, m_app.m_nGroup);
    EXPECT_EQ(4, m_app.m_group.ItemCount());
    RECT rc;
    GetWindowRect(bar, &rc);
    EXPECT_EQ(38 * 3 + 2, rc.right - rc.left);
    EXPECT_EQ(38 * 2 + 2, rc.bottom - rc.top);
    m_app.SaveSettings();
    EXPECT_EQ("3", Saved("Group"));
    // Ids of groups that do not exist, and ids past the range, are passed over.
    for (WPARAM id : {WPARAM{IDM_GROUP_FIRST + 5}, WPARAM{IDM_GROUP_LAST}, WPARAM{IDM_GROUP_LAST + 1},
                      WPARAM{(1u << 16) | (IDM_GROUP_FIRST + 1)}}) {
        SendMessageA(bar, WM_COMMAND, id, 0);
        EXPECT_EQ(3, m_app.m_nGroup) << id;
    }
}

TEST_F(InputTest, TopMostCommandTogglesTheStackingAndShowsTheBar)
{
    PutGroups({1});
    HWND bar = StartBar();
    ASSERT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    ShowWindow(bar, SW_HIDE);
    SendMessageA(bar, WM_COMMAND, IDM_TOPMOST, 0);
    EXPECT_EQ(0, m_app.m_bTopMost);
    EXPECT_FALSE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(bar));
    ShowWindow(bar, SW_HIDE);
    SendMessageA(bar, WM_COMMAND, IDM_TOPMOST, 0);
    EXPECT_EQ(1, m_app.m_bTopMost);
    EXPECT_TRUE(GetWindowLongA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowVisible(bar));
    EXPECT_EQ(SW_SHOWNORMAL, m_app.m_nCmdShow);
}

TEST_F(InputTest, AboutArrivesByBothCommandsAndOtherIdsAreHandedOn)
{
    HWND bar = StartBar();
    SendMessageA(bar, WM_COMMAND, IDM_ABOUT, 0);
    SendMessageA(bar, WM_COMMAND, ID_APP_ABOUT, 0);
    EXPECT_EQ(2, m_app.m_nAbout);
    const int group = m_app.m_nGroup, topMost = m_app.m_bTopMost;
    SendMessageA(bar, WM_COMMAND, IDM_TOPMOST + 1, 0);  // a free id among the commands
    EXPECT_EQ(2, m_app.m_nAbout);
    EXPECT_EQ(group, m_app.m_nGroup);
    EXPECT_EQ(topMost, m_app.m_bTopMost);
    EXPECT_TRUE(IsWindow(bar));
}

TEST_F(InputTest, QuitSavesAndPostsTheQuit)
{
    HWND bar = StartBar();
    m_app.m_nMaxInLine = 7;
    SendMessageA(bar, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ("7", Saved("Max"));
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

TEST_F(InputTest, RestartReadsGroupsAgainAndKeepsTheCurrentOne)
{
    PutGroups({1, 2});
    m_app.m_nGroup = 1;
    HWND bar = StartBar();
    ASSERT_EQ(2u, m_app.m_groupSources.size());
    // A group added while the launcher runs, placed first by its position key.
    ASSERT_TRUE(PutUserGroup("New", Group(u"New", 4, 0)));
    ASSERT_TRUE(PutUserGroup("G0", Group(u"G0", 1, 5)));
    SendMessageA(bar, WM_COMMAND, IDM_RESTART, 0);
    EXPECT_EQ(3u, m_app.m_groupSources.size());
    EXPECT_EQ(1, m_app.m_nGroup) << "the index is kept";
    EXPECT_EQ(m_app.m_groupSources[1], m_app.m_group.m_strSource);
    EXPECT_EQ(m_app.m_group.ItemCount(), 1);
}

TEST_F(InputTest, SessionCommandsSaveFirstAndAskWithTheirFlags)
{
    CButtonBarWnd::s_pfnExitWindows = RecordExitRequest;
    HWND bar = StartBar();
    const struct {
        UINT command;
        UINT flags;
        bool privilege;
    } cases[] = {{IDM_EXITWINDOWS, EWX_SHUTDOWN | EWX_FORCEIFHUNG, true},
                 {IDM_REBOOT, EWX_REBOOT, true},
                 {IDM_RESTARTWINDOWS, EWX_LOGOFF, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        SetShutdownPrivilege(false);
        DeleteWindowsDirFile(m_app.ProfileName());
        m_app.m_nMaxInLine = static_cast<int>(c.command % 97);
        g_exitRequests.clear();
        SendMessageA(bar, WM_COMMAND, c.command, 0);
        ASSERT_EQ(1u, g_exitRequests.size());
        EXPECT_EQ(c.flags, g_exitRequests[0].first);
        EXPECT_EQ(c.privilege, g_privilegeEnabledAtRequest);
        EXPECT_EQ(std::to_string(c.command % 97), Saved("Max")) << "saved before the request";
    }
    EXPECT_EQ(0u, (EWX_SHUTDOWN | EWX_FORCEIFHUNG) & EWX_FORCE) << "nobody's unsaved work is thrown away";
}

TEST_F(InputTest, AThousandMenusLeaveNoObjectsBehind)
{
    PutGroups({2, 3, 4});
    StartBar();
    WithMenu(POINT{5, 5}, nullptr);  // the first menu loads what stays loaded
    const DWORD gdi = GuiObjectCount(GR_GDIOBJECTS), user = GuiObjectCount(GR_USEROBJECTS);
    const DWORD handles = ProcessHandleCount();
    for (int i = 0; i < 1000; ++i)
        WithMenu(POINT{5, 5}, nullptr);
    EXPECT_EQ(1001, g_menusSeen);
    EXPECT_EQ(gdi, GuiObjectCount(GR_GDIOBJECTS));
    EXPECT_EQ(user, GuiObjectCount(GR_USEROBJECTS));
    EXPECT_EQ(handles, ProcessHandleCount());
}

}  // namespace
