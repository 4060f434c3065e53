// The real qlbar.exe worked as a user works it: real mouse and keyboard input into the
// desktop it shares with this test, real programs started (the recorder, which writes
// down its command line, directory and show command), the real registry with today's
// kind of associations, and the settings file it leaves.
#include "res/resource.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/qlgroup_fixtures.h"
#include "tests/support/real_input.h"
#include "tests/support/real_launcher.h"
#include "tests/support/recorder_log.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

std::u16string Wide(const std::string& text)
{
    return std::u16string(text.begin(), text.end());
}

RECT RectOf(HWND hWnd)
{
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(hWnd, &rc);
    return rc;
}

// Where a popup menu's text entries lie below its top edge, measured on a menu of this
// process: the same platform draws the launcher's menu with the same metrics.
struct MenuMetrics {
    int firstTop = 0;
    int entryHeight = 0;
};

MenuMetrics g_measured;

void CALLBACK MeasureOpenMenu(HWND owner, UINT, UINT_PTR id, DWORD)
{
    HWND menuWindow = FindWindowA("#32768", nullptr);
    if (!menuWindow || !IsWindowVisible(menuWindow))
        return;
    KillTimer(owner, id);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    RECT window, first, second;
    GetWindowRect(menuWindow, &window);
    GetMenuItemRect(owner, menu, 0, &first);
    GetMenuItemRect(owner, menu, 1, &second);
    g_measured = {first.top - window.top, second.top - first.top};
    EndMenu();
}

MenuMetrics MeasureMenu()
{
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 600, 500, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, " &1:G0");
    AppendMenuA(menu, MF_STRING, 2, " &2:G1");
    SetForegroundWindow(owner);
    SetTimer(owner, 1, 20, MeasureOpenMenu);
    TrackPopupMenu(menu, 0, 600, 500, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return g_measured;
}

class LauncherInputTest : public RealLauncherTest {
protected:
    void SetUp() override
    {
        RealLauncherTest::SetUp();
        m_recorder = RecorderPath();
        ASSERT_FALSE(m_recorder.empty()) << "QUILLBAR_RECORDER is not set";
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        m_log = std::string(temp) + "quillbar-e2e-starts.log";
        DeleteFileA(m_log.c_str());
        // The launcher inherits it, and hands it on to what it starts.
        SetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", m_log.c_str());
        // A fixed bar away from the screen's edges, with a title strip to click on.
        Set("Popup", "10100");
        Set("Window", "300,200,400,300,-1,600");
        Set("Title", "10000");
        Set("Max", "3");
        m_strip = GetSystemMetrics(SM_CYCAPTION) + 1;
    }

    void TearDown() override
    {
        RealLauncherTest::TearDown();
        SetEnvironmentVariableA("QUILLBAR_RECORDER_LOG", nullptr);
        DeleteFileA(m_log.c_str());
    }

    std::string RecorderDirectory() const { return m_recorder.substr(0, m_recorder.rfind('\\')); }

    // A group of recorder items with these arguments; "" makes a missing program.
    void PutGroup(const std::string& name, uint16_t order, const std::vector<std::string>& arguments,
                  const std::function<void(GroupRecordBuilder&)>& more = nullptr)
    {
        GroupRecordBuilder builder(Wide(name));
        builder.Position(order, 0);
        for (size_t i = 0; i < arguments.size(); ++i) {
            const std::string command =
                arguments[i].empty() ? "C:\\NOWHERE\\MISSING.EXE" : m_recorder + " " + arguments[i];
            builder.AddItem(GroupItem{Wide("Item " + std::to_string(i)), Wide(command), static_cast<int32_t>(10 * i), 0,
                                      SolidIcon(4, Rgb(static_cast<uint8_t>(50 * i), 128, 200))});
        }
        if (more)
            more(builder);
        ASSERT_TRUE(PutUserGroup(name, builder.Build()));
    }

    // Screen point of a client point of the bar; cell (column, row) is the centre of a button.
    POINT Client(int x, int y)
    {
        POINT point = {x, y};
        ClientToScreen(m_bar, &point);
        return point;
    }
    POINT Cell(int column, int row) { return Client(38 * column + 19, m_strip + 38 * row + 19); }

    // Clicking the title strip makes the bar the active window, and starts nothing.
    void Activate()
    {
        Click(Client(4, 3));
        EXPECT_TRUE(WaitUntil([this] { return GetForegroundWindow() == m_bar; }));
    }

    std::vector<RecordedStart> WaitForStarts(size_t count, DWORD timeoutMs = 10000)
    {
        WaitUntil([&] { return ReadRecorderLog(m_log).size() >= count; }, timeoutMs);
        return ReadRecorderLog(m_log);
    }

    // The launcher's message box with this caption, or null.
    HWND FindBox(const std::string& caption) { return FindWindowOf("#32770", caption); }

    // The launcher's open popup menu, or null.
    HWND FindMenu() { return FindWindowOf("#32768"); }
    int OpenMenus()
    {
        int open = 0;
        for (HWND hWnd : TopLevelWindowsOf(m_launcher->Id()))
            open += IsWindowVisible(hWnd) && ClassNameOf(hWnd) == "#32768";
        return open;
    }

    int BarWidth()
    {
        RECT rc;
        GetWindowRect(m_bar, &rc);
        return rc.right - rc.left;
    }
    int BarHeight()
    {
        RECT rc;
        GetWindowRect(m_bar, &rc);
        return rc.bottom - rc.top;
    }

    std::string m_recorder, m_log;
    int m_strip = 0;
};


TEST_F(LauncherInputTest, ClicksStartItemsInTheirDirectoriesAndFailuresAreReported)
{
    // A program found only in its own directory proves that the start runs there.
    ASSERT_TRUE(CreateDirectoryA("C:\\qltest", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(CopyFileA(m_recorder.c_str(), "C:\\qltest\\qlrec2.exe", FALSE));
    PutGroup("Main", 0, {"one", "two", "three", "", "five"}, [&](GroupRecordBuilder& builder) {
        builder.MinimizeTag(1);
    });
    GroupRecordBuilder elsewhere(u"Elsewhere");
    elsewhere.Position(10, 0);
    elsewhere.AddItem(GroupItem{u"Here", u"C:\\QLTEST\\QLREC2.EXE Here", 0, 0, {}});
    ASSERT_TRUE(PutUserGroup("Elsewhere", elsewhere.Build()));
    Start();

    Click(Cell(0, 0));
    std::vector<RecordedStart> starts = WaitForStarts(1);
    ASSERT_EQ(1u, starts.size());
    // The command's path is the item's working directory; the rest is what is started.
    EXPECT_EQ("recorder.exe one", starts[0].commandLine);
    EXPECT_EQ(Lower(RecorderDirectory()), Lower(starts[0].directory));
    EXPECT_EQ(SW_SHOWNORMAL, starts[0].show);

    Click(Cell(1, 0));
    starts = WaitForStarts(2);
    ASSERT_EQ(2u, starts.size());
    EXPECT_EQ(SW_SHOWMINIMIZED, starts[1].show) << "a minimised item starts minimised";

    // Pressed, slid off onto another button and released there: nothing starts.
    MoveTo(Cell(2, 0));
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    Sleep(100);
    MoveTo(Cell(1, 1));
    SendMouse(MOUSEEVENTF_LEFTUP);
    // The empty end of the last row: nothing either.
    Click(Cell(2, 1));
    Sleep(1000);
    EXPECT_EQ(2u, ReadRecorderLog(m_log).size());

    // A program that cannot be found: the box, and after it the launcher goes on.
    Click(Cell(0, 1));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox("Application Execution Error")) != nullptr; }));
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    EXPECT_EQ(std::string("Cannot find file (or one of its components).Check to ensure the path and filename are "
                          "correct and that all required libraries are available."),
              text);
    EXPECT_TRUE(SaveScreenshot("e2e-launch-error"));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return FindBox("Application Execution Error") == nullptr; }));
    EXPECT_TRUE(IsWindowVisible(m_bar)) << "Fixed: the bar stays after a start";

    Click(Cell(1, 1));
    starts = WaitForStarts(3);
    ASSERT_EQ(3u, starts.size());
    EXPECT_EQ("recorder.exe five", starts[2].commandLine);

    PostMessageA(m_bar, WM_COMMAND, IDM_GROUP_FIRST + 1, 0);
    ASSERT_TRUE(WaitUntil([&] { return BarWidth() == 38 + 2; }));
    Click(Cell(0, 0));
    starts = WaitForStarts(4);
    ASSERT_EQ(4u, starts.size());
    EXPECT_EQ("QLREC2.EXE Here", starts[3].commandLine) << "the case it was stored with";
    EXPECT_EQ("c:\\qltest", Lower(starts[3].directory));
    Quit();
    DeleteFileA("C:\\qltest\\qlrec2.exe");
    RemoveDirectoryA("C:\\qltest");
}

TEST_F(LauncherInputTest, DocumentsStartThroughTodaysAssociationsAndRestartReadsThemAgain)
{
    // Today's kind of registry: programs associated with "%1" %*, expandable open commands.
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    const std::string viewer = std::string(windows) + "\\qlrec.exe";
    ASSERT_TRUE(CopyFileA(m_recorder.c_str(), viewer.c_str(), FALSE));
    ClassKeys keys;
    ASSERT_TRUE(keys.Put(".exe", "exefile"));
    ASSERT_TRUE(keys.Put("exefile\\shell\\open\\command", "\"%1\" %*"));
    ASSERT_TRUE(keys.Put(".qbt", "qbtfile"));
    ASSERT_TRUE(keys.Put("qbtfile\\shell\\open\\command", "%SystemRoot%\\qlrec.exe \"%L\" %*", REG_EXPAND_SZ));
    GroupRecordBuilder builder(u"Docs");
    builder.AddItem(GroupItem{u"Readme", u"C:\\DOCS\\README.QBT", 0, 0, {}});
    builder.AddItem(GroupItem{u"Program", Wide(m_recorder + " As-Written"), 10, 0, {}});
    builder.AddItem(GroupItem{u"Later", u"C:\\DOCS\\LATER.QBY", 20, 0, {}});
    ASSERT_TRUE(PutUserGroup("Docs", builder.Build()));
    Start();

    Click(Cell(0, 0));
    Click(Cell(1, 0));
    std::vector<RecordedStart> starts = WaitForStarts(2);
    ASSERT_EQ(2u, starts.size());
    // The document's directory is its working directory; the expanded open command gets its name.
    EXPECT_EQ(Lower(windows) + "\\qlrec.exe \"readme.qbt\"  ", Lower(starts[0].commandLine));
    EXPECT_EQ("recorder.exe As-Written", starts[1].commandLine) << "a program starts as written";

    // Not associated yet: the document itself cannot be started.
    Click(Cell(2, 0));
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindBox("Application Execution Error")) != nullptr; }));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return FindBox("Application Execution Error") == nullptr; }));

    // An association, a group, and an item added by the authoring tool while the launcher
    // runs: the bar shows none of them until "Restart Quillbar", chosen from the System
    // submenu by keys, reads them all.
    ASSERT_TRUE(keys.Put(".qby", "qbyfile"));
    ASSERT_TRUE(keys.Put("qbyfile\\shell\\open\\command", viewer + " %1"));
    PutGroup("Zlast", 500, {"new"});
    const std::wstring late = std::wstring(m_recorder.begin(), m_recorder.end()) + L" late";
    const ToolRun added = RunQlgroup({L"add-item", L"Docs", L"--title", L"Late", L"--command", late});
    ASSERT_EQ(0u, added.exitCode) << added.err;
    const RECT before = RectOf(m_bar);
    Sleep(1000);
    EXPECT_EQ(before.bottom - before.top, BarHeight()) << "the bar changed before the restart";
    MoveTo(Cell(0, 0));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitUntil([&] { return FindMenu() != nullptr; })) << "no menu after a right click";
    Tap('S');
    ASSERT_TRUE(WaitUntil([&] { return OpenMenus() >= 2; })) << "the System submenu did not open";
    EXPECT_TRUE(SaveScreenshot("reload-system-menu"));
    Tap('Q');
    EXPECT_TRUE(WaitUntil([&] { return BarHeight() == before.bottom - before.top + 38; }))
        << "the added item did not make a second row";
    EXPECT_EQ(nullptr, FindMenu());
    Click(Cell(2, 0));
    starts = WaitForStarts(3);
    ASSERT_EQ(3u, starts.size());
    EXPECT_EQ(Lower(viewer) + " later.qby ", Lower(starts[2].commandLine)) << "the current group is kept";

    PostMessageA(m_bar, WM_COMMAND, IDM_GROUP_FIRST + 1, 0);
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 + 2; })) << "the new group, of one item";
    Quit();
    EXPECT_EQ("1", Saved("Group"));
    DeleteFileA(viewer.c_str());
}

TEST_F(LauncherInputTest, TheRightButtonDragsThroughTheMenuAndAltOpensItAtTheCorner)
{
    const MenuMetrics metrics = MeasureMenu();
    ASSERT_GT(metrics.entryHeight, 0);
    PutGroup("G0", 0, {"a", "b", "c", "d", "e"});
    PutGroup("G1", 10, {"a", "b"});
    PutGroup("G2", 20, {"a"});
    Start();
    ASSERT_EQ(38 * 3 + 2, BarWidth());

    // Right button down on a button, a first move, a pause, onto the third entry, release.
    const POINT press = Cell(0, 0);
    MoveTo(press);
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindMenu()) != nullptr; }));
    RECT menuRect;
    GetWindowRect(menu, &menuRect);
    EXPECT_EQ(press.x, menuRect.left);
    EXPECT_EQ(press.y - 8, menuRect.top);
    MoveTo(POINT{press.x + 1, press.y + 1});
    Sleep(300);
    const POINT third = {menuRect.left + 30, menuRect.top + metrics.firstTop + 2 * metrics.entryHeight +
                                                 metrics.entryHeight / 2};
    MoveTo(third);
    MoveTo(third);
    EXPECT_TRUE(SaveScreenshot("e2e-group-menu"));
    SendMouse(MOUSEEVENTF_RIGHTUP);
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 + 2; })) << "group 3 chosen: one button";
    EXPECT_TRUE(WaitUntil([&] { return FindMenu() == nullptr; }));

    // Alt alone opens the menu at the client area's corner, 8 pixels up; Escape closes it.
    Activate();
    Tap(VK_MENU);
    ASSERT_TRUE(WaitUntil([&] { return (menu = FindMenu()) != nullptr; }));
    GetWindowRect(menu, &menuRect);
    const POINT corner = Client(0, 0);
    EXPECT_EQ(corner.x, menuRect.left);
    EXPECT_EQ(corner.y - 8, menuRect.top);
    EXPECT_TRUE(SaveScreenshot("menu-alt"));
    Tap(VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return FindMenu() == nullptr; }));
    // The key of a group's number chooses it.
    Activate();
    Tap(VK_MENU);
    ASSERT_TRUE(WaitUntil([&] { return FindMenu() != nullptr; }));
    Tap('2');
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 * 2 + 2; })) << "group 2 chosen: two buttons";
    EXPECT_TRUE(WaitUntil([&] { return FindMenu() == nullptr; }));
    // A right click without a drag leaves the menu open for the keys.
    MoveTo(Cell(0, 0));
    SendMouse(MOUSEEVENTF_RIGHTDOWN);
    SendMouse(MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitUntil([&] { return FindMenu() != nullptr; })) << "no menu after a right click";
    Sleep(300);
    EXPECT_NE(nullptr, FindMenu()) << "the release closed the menu";
    EXPECT_TRUE(SaveScreenshot("menu-right-button"));
    Tap('1');
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 * 3 + 2; })) << "group 1 chosen: three buttons";
    EXPECT_TRUE(WaitUntil([&] { return FindMenu() == nullptr; }));
    // Alt released while Shift is held opens nothing.
    Activate();
    SendKey(VK_SHIFT, false);
    Tap(VK_MENU);
    SendKey(VK_SHIFT, true);
    Sleep(500);
    EXPECT_EQ(nullptr, FindMenu());
    EXPECT_TRUE(ReadRecorderLog(m_log).empty()) << "the menus started something";
    Quit();
    EXPECT_EQ("0", Saved("Group"));
}

TEST_F(LauncherInputTest, ClosingWithAMenuOpenEndsTheRunAtOnceAndSavesTheSettings)
{
    PutGroup("G0", 0, {"a"});
    PutGroup("G1", 10, {"a", "b"});
    // The group menu, then the Set Up window's system menu (as Alt+Space opens it).
    for (int which = 0; which < 2; ++which) {
        Start();
        if (which == 0) {
            Activate();
            Tap(VK_MENU);
        } else {
            HWND dialog = m_launcher->WaitForWindow("#32770");
            ASSERT_NE(nullptr, dialog);
            PostMessageA(dialog, WM_SYSCOMMAND, SC_KEYMENU, ' ');
        }
        ASSERT_TRUE(WaitUntil([&] { return FindMenu() != nullptr; })) << which;
        m_launcher->CloseWindows();
        EXPECT_TRUE(m_launcher->WaitForExit(5000)) << "the open menu held the run: " << which;
        m_launcher.reset();
        EXPECT_EQ("0", Saved("Group"));
    }
}

TEST_F(LauncherInputTest, KeysMoveThePointerClickTheButtonUnderItAndStepThroughGroups)
{
    PutGroup("G0", 0, {"k0", "k1", "k2", "k3", "k4"});
    PutGroup("G1", 10, {"a", "b"});
    Start();
    Activate();
    auto cursorAt = [](POINT expected) {
        return WaitUntil([expected] {
            POINT cursor;
            GetCursorPos(&cursor);
            return cursor.x == expected.x && cursor.y == expected.y;
        }, 2000);
    };
    Tap(VK_HOME);
    EXPECT_TRUE(cursorAt(Cell(0, 0)));
    Tap(VK_END);
    EXPECT_TRUE(cursorAt(Cell(1, 1))) << "item 4";
    Tap(VK_RIGHT);
    EXPECT_TRUE(cursorAt(Cell(0, 1))) << "past the empty cell to item 3";
    Tap(VK_UP);
    EXPECT_TRUE(cursorAt(Cell(0, 0)));
    Tap(VK_LEFT);
    EXPECT_TRUE(cursorAt(Cell(2, 0))) << "wrapped to the row's last item";
    Tap(VK_RETURN);
    std::vector<RecordedStart> starts = WaitForStarts(1);
    ASSERT_EQ(1u, starts.size());
    EXPECT_EQ("recorder.exe k2", starts[0].commandLine);

    Tap(VK_NEXT);
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 * 2 + 2; })) << "the second group";
    Tap(VK_NEXT);
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 * 3 + 2; })) << "Page Down on the last wraps to the first";
    Tap(VK_PRIOR);
    EXPECT_TRUE(WaitUntil([&] { return BarWidth() == 38 * 2 + 2; })) << "Page Up on the first goes to the last";
    Quit();
    EXPECT_EQ("1", Saved("Group"));
}

TEST_F(LauncherInputTest, AGroupImportedFromTheStartMenuIsShownAndStartsItsProgram)
{
    ASSERT_FALSE(QlgroupPath().empty()) << "QLGROUP_EXE is not set";
    wchar_t programs[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)));
    const std::wstring folder = std::wstring(programs) + L"\\QL E2E\\Nested";
    const std::wstring work = L"C:\\qlwork", icon = L"C:\\qlwork\\e2e.ico";
    ASSERT_TRUE(MakeFolders(folder));
    ASSERT_TRUE(MakeFolders(work));
    ASSERT_TRUE(WriteIconFile(icon, QuarterIcon(4, Rgb(255, 0, 0), Rgb(0, 0, 255), OpaqueMask())));
    const std::string recorder = m_recorder;
    ASSERT_TRUE(MakeShortcut(folder + L"\\Recorder.lnk", {std::wstring(recorder.begin(), recorder.end()), L"imported",
                                                          work, icon, 0, SW_SHOWMINNOACTIVE}));
    const ToolRun run = RunQlgroup({L"import-startmenu"});
    DeleteFolder(std::wstring(programs) + L"\\QL E2E");
    ASSERT_FALSE(StoredRecord(HKEY_CURRENT_USER, L"UNICODE Program Groups", L"QL E2E").empty()) << run.err;
    // Only the imported group, whatever else the prefix's Start Menu holds.
    const std::vector<uint8_t> imported = StoredRecord(HKEY_CURRENT_USER, L"UNICODE Program Groups", L"QL E2E");
    ClearGroups();
    ASSERT_TRUE(PutUserGroup("QL E2E", imported));
    Start();

    const POINT icon00 = Client(3, m_strip + 3);
    EXPECT_EQ(RGB(255, 0, 0), ScreenPixel(icon00.x + 2, icon00.y + 2));
    EXPECT_EQ(RGB(255, 0, 0), ScreenPixel(icon00.x + 15, icon00.y + 15));
    EXPECT_EQ(RGB(0, 0, 255), ScreenPixel(icon00.x + 20, icon00.y + 2));
    EXPECT_EQ(RGB(0, 0, 255), ScreenPixel(icon00.x + 2, icon00.y + 29));
    SaveScreenshot("qlgroup_imported");

    Click(Cell(0, 0));
    const std::vector<RecordedStart> starts = WaitForStarts(1);
    ASSERT_EQ(1u, starts.size());
    const std::string command = Lower(starts[0].commandLine);
    EXPECT_EQ("recorder.exe imported", command.substr(command.rfind('\\') + 1)) << starts[0].commandLine;
    EXPECT_EQ("c:\\qlwork", Lower(starts[0].directory));
    EXPECT_EQ(SW_SHOWMINIMIZED, starts[0].show);
    Quit();
    DeleteFolder(work);
}

// The launcher's title popup: its one visible, disabled top-level window; null when none.
HWND FindTitlePopup(DWORD processId, int* count = nullptr)
{
    HWND found = nullptr;
    int seen = 0;
    for (HWND hWnd : TopLevelWindowsOf(processId))
        if (IsWindowVisible(hWnd) && (GetWindowLongA(hWnd, GWL_STYLE) & WS_DISABLED)) {
            found = hWnd;
            ++seen;
        }
    if (count)
        *count = seen;
    return found;
}

// How many pixels of the screen rectangle are pure yellow, the title popup's text colour.
int YellowPixels(const RECT& rc)
{
    HDC screen = GetDC(nullptr);
    int yellow = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x)
            yellow += GetPixel(screen, x, y) == RGB(255, 255, 0);
    ReleaseDC(nullptr, screen);
    return yellow;
}

TEST_F(LauncherInputTest, PopUpRestsOnAnEdgeNamesTheButtonsAndHidesWhenThePointerLeaves)
{
    PutGroup("G0", 0, {"a", "b", "c", "d"});
    Set("Popup", "10101");
    Set("ButtonTitle", "403");
    MoveTo(POINT{500, 400});
    Start();
    EXPECT_FALSE(IsWindowVisible(m_bar)) << "hidden at start";

    MoveTo(POINT{0, 300});
    ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(m_bar) != FALSE; }, 3000));
    RECT bar = RectOf(m_bar);
    EXPECT_EQ(0, bar.left);
    EXPECT_EQ(300 - (bar.bottom - bar.top) / 2, bar.top);
    EXPECT_TRUE(GetWindowLongA(m_bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_NE(m_bar, GetForegroundWindow()) << "shown without the activation";

    // Across three buttons: one popup at the end, just above the last one's cell.
    MoveTo(Cell(0, 0));
    MoveTo(Cell(1, 0));
    MoveTo(Cell(2, 0));
    ASSERT_TRUE(WaitUntil([this] { return FindTitlePopup(m_launcher->Id()) != nullptr; }, 2000));
    Sleep(300);
    int popups = 0;
    HWND item = FindTitlePopup(m_launcher->Id(), &popups);
    EXPECT_EQ(1, popups);
    EXPECT_EQ(Client(38 * 2 - 1, m_strip).x, RectOf(item).left);
    EXPECT_EQ(Client(0, m_strip).y, RectOf(item).bottom);
    EXPECT_TRUE(SaveScreenshot("popped-up-bar-item-title"));
    EXPECT_GT(YellowPixels(RectOf(item)), 10) << "the title is drawn in yellow";

    // The strip: the group's name above the bar.
    MoveTo(Client(10, 3));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(item) && FindTitlePopup(m_launcher->Id()) != nullptr; }, 2000));
    Sleep(300);
    EXPECT_EQ(bar.top, RectOf(FindTitlePopup(m_launcher->Id())).bottom);
    EXPECT_TRUE(SaveScreenshot("popped-up-bar-group-name"));

    // Touching an item's popup removes it.
    MoveTo(Cell(1, 0));
    ASSERT_TRUE(WaitUntil([this] { return FindTitlePopup(m_launcher->Id()) != nullptr; }, 2000));
    item = FindTitlePopup(m_launcher->Id());
    const RECT touched = RectOf(item);
    MoveTo(POINT{(touched.left + touched.right) / 2, (touched.top + touched.bottom) / 2});
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(item); }, 2000));

    // Away from the bar: hidden.
    MoveTo(POINT{700, 600});
    EXPECT_TRUE(WaitUntil([this] { return !IsWindowVisible(m_bar); }, 2000));

    // Shift+Ctrl+Alt: shown at once and active, following the pointer while held.
    const auto hold = [] {
        for (WORD key : {WORD{VK_SHIFT}, WORD{VK_CONTROL}, WORD{VK_MENU}})
            SendKey(key, false);
    };
    hold();
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(m_bar) && GetForegroundWindow() == m_bar; }, 2000));
    const RECT shown = RectOf(m_bar);
    EXPECT_EQ(700 - (shown.right - shown.left) / 2, shown.left) << "not centred on the pointer";
    EXPECT_EQ(600 - (shown.bottom - shown.top) / 2, shown.top);
    MoveTo(POINT{600, 500});
    EXPECT_TRUE(WaitUntil([&] {
        hold();  // a held key repeats
        const RECT now = RectOf(m_bar);
        return (now.left + now.right) / 2 == 600 && (now.top + now.bottom) / 2 == 500;
    }, 2000));
    // Alt released first: alone, its release would open the group menu.
    for (WORD key : {WORD{VK_MENU}, WORD{VK_CONTROL}, WORD{VK_SHIFT}})
        SendKey(key, true);
    Sleep(500);
    EXPECT_EQ(nullptr, FindMenu()) << "releasing the chord opened the menu";
    MoveTo(POINT{100, 100});
    EXPECT_TRUE(WaitUntil([this] { return !IsWindowVisible(m_bar); }, 2000));
    Quit();
}

TEST_F(LauncherInputTest, GroupUpShowsTheGroupOfThePartOfTheEdgeWhereThePointerRests)
{
    PutGroup("G0", 0, {"a"});
    PutGroup("G1", 10, {"a", "b"});
    PutGroup("G2", 20, {"a", "b", "c"});
    Set("Popup", "10102");
    MoveTo(POINT{500, 400});
    Start();
    const int S = GetSystemMetrics(SM_CXSCREEN);
    for (int g : {2, 0, 1}) {
        MoveTo(POINT{500, 400});
        EXPECT_TRUE(WaitUntil([this] { return !IsWindowVisible(m_bar); }, 2000));
        MoveTo(POINT{(S - 1) * g / 3 + (S - 1) / 6, 0});
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(m_bar) && BarWidth() == 38 * (g + 1) + 2; }, 3000))
            << "group " << g;
        EXPECT_EQ(0, RectOf(m_bar).top) << "group " << g;
    }
    MoveTo(POINT{500, 400});
    Quit();
    EXPECT_EQ("1", Saved("Group"));
}

}  // namespace
