// The real qlbar.exe, started as a user would start it and closed as a user would
// close it: its windows, the settings file it leaves, and the load rules seen through
// what it writes back.
#include "tests/support/group_record_builder.h"
#include "tests/support/real_launcher.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <map>

using namespace testing_support;

namespace {

const char kSection[] = "Quillbar";

class LauncherTest : public RealLauncherTest {
protected:
    // Starts the launcher, waits for both windows, lets a check look at them, closes it.
    void RunAndClose(const std::string& exe, const std::function<void(HWND bar, HWND dialog)>& check = nullptr)
    {
        RunningProcess launcher(exe);
        ASSERT_TRUE(launcher.Started()) << exe;
        HWND bar = launcher.WaitForWindow("Qlb:");
        HWND dialog = launcher.WaitForWindow("#32770");
        ASSERT_NE(nullptr, bar);
        ASSERT_NE(nullptr, dialog);
        if (check)
            check(bar, dialog);
        launcher.CloseWindows();
        DWORD code = 1234;
        ASSERT_TRUE(launcher.WaitForExit(20000, &code)) << "the launcher did not end when its windows were closed";
        EXPECT_EQ(0u, code);
    }

    std::string Get(const std::string& file, const char* key) { return ReadProfile(file, kSection, key); }
};

// "Window" as the launcher saves a bar left at this rectangle in this position code.
std::string SavedWindow(const RECT& rc, int positionCode)
{
    return std::to_string(rc.left) + "," + std::to_string(rc.top) + "," + std::to_string(rc.right) + "," +
           std::to_string(rc.bottom) + ",-1," + std::to_string(positionCode);
}

TEST_F(LauncherTest, FirstRunShowsBarAndMinimisedDialogAndLeavesEveryDefault)
{
    RECT placed = {0, 0, 0, 0};
    RunAndClose(m_exe, [&placed](HWND bar, HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(bar));
        GetWindowRect(bar, &placed);
        EXPECT_EQ("Quillbar - Button Window", TextOf(bar));
        // The dialog minimises itself while it initialises, just after its window appears.
        EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
        EXPECT_EQ("Quillbar", TextOf(dialog));
    });
    std::map<std::string, std::string> expected = {
        {"TopMost", "1"},        {"ButtonTitle", "403"}, {"Group", "0"},     {"Size", "32,32"},
        {"Window", SavedWindow(placed, 606)}, {"Max", "99"},
        {"StopSaver", "1"},      {"Popup", "10100"},     {"Title", "10001"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(value, Get("qlbar.INI", key.c_str())) << key;
    // Centred on the screen while it initialises; that place is recorded before it minimises.
    int l = 0, t = 0, r = 0, b = 0;
    const std::string dialog = Get("qlbar.INI", "Dialog");
    ASSERT_EQ(4, std::sscanf(dialog.c_str(), "%d,%d,%d,%d", &l, &t, &r, &b)) << dialog;
    EXPECT_GT(r - l, 200) << dialog << ": the restored dialog, not its icon";
    EXPECT_GT(b - t, 200) << dialog;
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN) / 2 - (r - l) / 2, l) << dialog;
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN) / 2 - (b - t) / 2, t) << dialog;
}

// Restores the minimised Set Up dialog and returns the colour of its background.
COLORREF RestoredDialogBackground(HWND dialog, const std::string& screenshot)
{
    EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
    ShowWindow(dialog, SW_RESTORE);
    EXPECT_TRUE(WaitUntil([dialog] { return !IsIconic(dialog); }));
    Sleep(300);  // its own process paints it
    EXPECT_TRUE(SaveScreenshot(screenshot));
    POINT corner = {2, 2};
    ClientToScreen(dialog, &corner);
    return ScreenPixel(corner.x, corner.y);
}

TEST_F(LauncherTest, DialogsUseThe3dControlsWhenAvailableAndAreWhiteWithout)
{
    RunAndClose(m_exe, [](HWND, HWND dialog) {
        EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RestoredDialogBackground(dialog, "setup-dialog"));
    });

    // A copy that Wine refuses the 3-D control library, through Wine's per-program overrides.
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string copy = std::string(temp) + "no3dbar.exe";
    ASSERT_TRUE(CopyFileA(m_exe.c_str(), copy.c_str(), FALSE));
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\no3dbar.exe\\DllOverrides",
                                             0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    RegSetValueExA(key, "ctl3d32", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    WriteProfile("no3dbar.INI", kSection, "AskImport", "0");
    RunAndClose(copy, [](HWND, HWND dialog) {
        EXPECT_EQ(RGB(255, 255, 255), RestoredDialogBackground(dialog, "setup-dialog-without-3d-controls"));
    });
    RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\no3dbar.exe");
    DeleteWindowsDirFile("no3dbar.INI");
    DeleteFileA(copy.c_str());
}

TEST_F(LauncherTest, LoadRulesHoldInTheRealExecutable)
{
    WriteProfile("qlbar.INI", kSection, "Max", "0");
    WriteProfile("qlbar.INI", kSection, "Popup", "0");
    WriteProfile("qlbar.INI", kSection, "Size", "40");
    WriteProfile("qlbar.INI", kSection, "TopMost", "yes");
    WriteProfile("qlbar.INI", kSection, "Window", "10,20,110,220,5,603");
    // The bar keeps the place its corner gave it.
    RECT placed = {0, 0, 0, 0};
    RunAndClose(m_exe, [&placed](HWND bar, HWND) { GetWindowRect(bar, &placed); });
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), placed.right);
    EXPECT_EQ("99", Get("qlbar.INI", "Max"));
    EXPECT_EQ("10100", Get("qlbar.INI", "Popup"));
    EXPECT_EQ("40,0", Get("qlbar.INI", "Size"));
    EXPECT_EQ("0", Get("qlbar.INI", "TopMost"));
    EXPECT_EQ(SavedWindow(placed, 603), Get("qlbar.INI", "Window"));

    WriteProfile("qlbar.INI", kSection, "Popup", "1");
    RunAndClose(m_exe, [](HWND bar, HWND dialog) {
        EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
        EXPECT_FALSE(IsWindowVisible(bar));
    });
    EXPECT_EQ("10101", Get("qlbar.INI", "Popup"));
}

TEST_F(LauncherTest, ACopyUnderAnotherNameUsesItsOwnSettingsFile)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string copy = std::string(temp) + "otherbar.exe";
    ASSERT_TRUE(CopyFileA(m_exe.c_str(), copy.c_str(), FALSE));
    DeleteWindowsDirFile("otherbar.INI");
    WriteProfile("otherbar.INI", kSection, "Group", "3");
    WriteProfile("otherbar.INI", kSection, "AskImport", "0");
    DeleteWindowsDirFile("qlbar.INI");  // the fixture's, which the copy must not write

    RunAndClose(copy);
    EXPECT_EQ("3", Get("otherbar.INI", "Group"));
    EXPECT_EQ("32,32", Get("otherbar.INI", "Size"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(WindowsDirFile("qlbar.INI").c_str()));
    DeleteWindowsDirFile("otherbar.INI");
    DeleteFileA(copy.c_str());
}

TEST_F(LauncherTest, TwoCopiesRunSideBySideAndTheLastToExitWritesLast)
{
    RunningProcess first(m_exe);
    RunningProcess second(m_exe);
    ASSERT_NE(nullptr, first.WaitForWindow("#32770"));
    ASSERT_NE(nullptr, second.WaitForWindow("#32770"));
    ASSERT_NE(nullptr, first.WaitForWindow("Qlb:"));
    ASSERT_NE(nullptr, second.WaitForWindow("Qlb:"));

    first.CloseWindows();
    ASSERT_TRUE(first.WaitForExit(20000));
    // The second copy read the file before the first wrote it, and writes its own view last.
    WriteProfile("qlbar.INI", kSection, "Max", "12");
    second.CloseWindows();
    ASSERT_TRUE(second.WaitForExit(20000));
    EXPECT_EQ("99", Get("qlbar.INI", "Max"));
}

class LauncherWithGroupsTest : public LauncherTest {};

void PutGroup(const std::string& key, const std::vector<uint8_t>& record)
{
    ASSERT_TRUE(PutUserGroup(key, record));
}

std::vector<uint8_t> SmallGroup(const std::u16string& name, uint16_t left, uint16_t top)
{
    GroupRecordBuilder builder(name);
    builder.Position(left, top);
    builder.AddItem(u"Notepad", u"C:\\WINDOWS\\NOTEPAD.EXE", 0, 0);
    return builder.Build();
}

TEST_F(LauncherWithGroupsTest, TheGroupSettingIsClampedToTheGroupsFoundAndSaved)
{
    PutGroup("Right", SmallGroup(u"Right", 300, 0));
    PutGroup("Lower", SmallGroup(u"Lower", 0, 200));
    PutGroup("Origin", SmallGroup(u"Origin", 0, 0));
    WriteProfile("qlbar.INI", kSection, "Group", "7");
    RunAndClose(m_exe);
    EXPECT_EQ("2", Get("qlbar.INI", "Group"));
}

// Records that decode, but whose items, icons or tags are damaged in one way each.
std::vector<std::pair<std::string, std::vector<uint8_t>>> DamagedRecords()
{
    GroupRecordBuilder builder(u"Damaged");
    builder.AddItem(GroupItem{u"Icon", u"C:\\APPS\\ICON.EXE", 0, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddItem(GroupItem{u"Deep", u"DEEP.EXE", 40, 0, SolidIcon(8, Rgb(0, 0, 255))});
    builder.DirectoryTag(1, u"D:\\APPS");
    builder.MinimizeTag(0);
    RecordLayout at;
    const std::vector<uint8_t> good = builder.Build(&at);

    std::vector<std::pair<std::string, std::vector<uint8_t>>> damaged;
    auto patch32 = [&](const char* what, size_t offset, uint32_t value) {
        std::vector<uint8_t> record = good;
        PutU32(record, offset, value);
        damaged.emplace_back(what, record);
    };
    auto patch16 = [&](const char* what, size_t offset, uint16_t value) {
        std::vector<uint8_t> record = good;
        PutU16(record, offset, value);
        damaged.emplace_back(what, record);
    };
    patch32("slot outside", at.slots[0], static_cast<uint32_t>(good.size() + 100));
    patch32("title outside", at.items[0].record + 0x14, 0xFFFFFFF0u);
    patch32("command outside", at.items[1].record + 0x18, static_cast<uint32_t>(good.size() - 1));
    patch32("icon outside", at.items[0].record + 0x10, static_cast<uint32_t>(good.size() - 4));
    patch16("icon of 24 bits", at.items[0].icon.info + 0x0E, 24);
    patch16("icon of 16 planes", at.items[1].icon.info + 0x0C, 16);
    patch32("icon header size huge", at.items[0].icon.info, 0xFFFFFF00u);
    patch16("tag of size 0", at.tags[0] + 8, 0);
    patch16("tag running off the end", at.tags[0] + 8, 0xFFFF);
    patch16("end tag replaced", at.endTag, 0x1234);
    damaged.emplace_back("cut before the end tag",
                         std::vector<uint8_t>(good.begin(), good.begin() + at.endTag + 2));
    std::vector<uint8_t> plain = SmallGroup(u"Plain", 0, 0);
    uint32_t text = AppendUnterminatedString(plain, u"no end");
    PutU32(plain, 0x24, text);
    damaged.emplace_back("name without terminator", plain);
    return damaged;
}

TEST_F(LauncherWithGroupsTest, ADamagedCurrentGroupNeverStopsTheLauncher)
{
    for (const auto& [what, record] : DamagedRecords()) {
        SCOPED_TRACE(what);
        ClearGroups();
        // A fresh settings file, but for the first run's question: a record too damaged
        // to list leaves no group that can be read, which is when the launcher asks.
        DeleteWindowsDirFile("qlbar.INI");
        WriteProfile("qlbar.INI", kSection, "AskImport", "0");
        PutGroup("Damaged", record);
        RunAndClose(m_exe, [](HWND bar, HWND) { EXPECT_TRUE(IsWindowVisible(bar)); });
        EXPECT_EQ("0", Get("qlbar.INI", "Group"));
        EXPECT_EQ("32,32", Get("qlbar.INI", "Size"));
    }
}

TEST_F(LauncherWithGroupsTest, TheDockedBarShowsItsButtonsAtTheDocumentedPixelsInEveryTitleMode)
{
    const uint32_t colours[3] = {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255)};
    GroupRecordBuilder builder(u"Three");
    for (int i = 0; i < 3; ++i)
        builder.AddItem(GroupItem{u"Item", u"X.EXE", 10 * i, 0, SolidIcon(4, colours[i])});
    PutGroup("Three", builder.Build());

    const int t = GetSystemMetrics(SM_CYCAPTION) + 1;
    const int S = GetSystemMetrics(SM_CXSCREEN), T = GetSystemMetrics(SM_CYSCREEN);
    struct Mode {
        const char* title;
        const char* screenshot;
        int sx, sy;
    } modes[] = {{"10000", "bar-title-horizontal", 0, t},
                 {"10001", "bar-title-vertical", t, 0},
                 {"10002", "bar-title-nothing", 0, 0}};
    for (const Mode& mode : modes) {
        SCOPED_TRACE(mode.title);
        WriteProfile("qlbar.INI", kSection, "Title", mode.title);
        RunAndClose(m_exe, [&](HWND bar, HWND dialog) {
            EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
            Sleep(300);  // its own process paints it
            EXPECT_TRUE(SaveScreenshot(mode.screenshot));
            // Three 32 x 32 buttons in one row, the border and the strip, in the bottom-right corner.
            const int cx = 38 * 3 + 2 + mode.sx, cy = 38 + 2 + mode.sy;
            RECT rc;
            GetWindowRect(bar, &rc);
            EXPECT_EQ(S - cx, rc.left);
            EXPECT_EQ(T - cy, rc.top);
            EXPECT_EQ(S, rc.right);
            EXPECT_EQ(T, rc.bottom);

            POINT client = {0, 0};
            ClientToScreen(bar, &client);
            for (int i = 0; i < 3; ++i) {
                const int x = client.x + mode.sx + 38 * i + 3, y = client.y + mode.sy + 3;
                const COLORREF icon = RGB(colours[i] >> 16, (colours[i] >> 8) & 0xFF, colours[i] & 0xFF);
                EXPECT_EQ(icon, ScreenPixel(x, y)) << i;
                EXPECT_EQ(icon, ScreenPixel(x + 31, y + 31)) << i;
                EXPECT_EQ(RGB(255, 255, 255), ScreenPixel(x - 1, y + 10)) << i;
                EXPECT_EQ(RGB(255, 255, 255), ScreenPixel(x + 10, y - 2)) << i;
                EXPECT_EQ(RGB(128, 125, 128), ScreenPixel(x + 32, y + 10)) << i;
                EXPECT_EQ(RGB(128, 125, 128), ScreenPixel(x + 10, y + 33)) << i;
                EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(x - 3, y + 10)) << i;
                EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(x + 10, y + 34)) << i;
                EXPECT_EQ(RGB(192, 192, 192), ScreenPixel(x - 3, y - 3)) << i;  // a cut corner
            }
            const COLORREF captions[2] = {GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_INACTIVECAPTION)};
            if (mode.sy) {
                const COLORREF strip = ScreenPixel(client.x + 1, client.y + 1);
                EXPECT_TRUE(strip == captions[0] || strip == captions[1]) << std::hex << strip;
                EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(client.x + 5, client.y + t - 1));
            } else if (mode.sx) {
                const COLORREF strip = ScreenPixel(client.x + 1, client.y + 1);
                EXPECT_TRUE(strip == captions[0] || strip == captions[1]) << std::hex << strip;
                EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(client.x + t - 1, client.y + 5));
            } else {
                EXPECT_EQ(RGB(0, 0, 0), ScreenPixel(client.x, client.y + 3));  // the first outline
            }
        });
    }
}

// A well-formed group of 65,535 buttons, each with a 40,000-character title: the
// launcher reaches its message loop, shows the bar and saves its settings on the way
// out. How long each start took is printed beside a plain start, to read, not to judge.
TEST_F(LauncherWithGroupsTest, AGroupOfEveryItemSlotStartsShowsAndClosesLikeAnyOther)
{
    auto timedRun = [this](const char* screenshot) {
        const DWORD start = GetTickCount();
        DWORD shown = 0;
        RunAndClose(m_exe, [&](HWND bar, HWND dialog) {
            shown = GetTickCount() - start;
            EXPECT_TRUE(WaitUntil([bar] { return IsWindowVisible(bar) != FALSE; }));
            EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
            Sleep(300);  // its own process paints it
            EXPECT_TRUE(SaveScreenshot(screenshot));
        });
        return shown;
    };
    PutGroup("Small", SmallGroup(u"Small", 0, 0));
    const DWORD plain = timedRun("bar-small-group");
    ClearGroups();
    DeleteWindowsDirFile("qlbar.INI");

    PutGroup("Every slot", OneItemInEverySlotRecord(40000));
    WriteProfile("qlbar.INI", kSection, "Max", "99");
    const DWORD full = timedRun("bar-every-item-slot");
    std::printf("start to both windows: plain group %lu ms, 65,535 items of 40,000 characters %lu ms\n",
                static_cast<unsigned long>(plain), static_cast<unsigned long>(full));
    EXPECT_EQ("0", Get("qlbar.INI", "Group"));
    EXPECT_EQ("32,32", Get("qlbar.INI", "Size"));
    EXPECT_EQ("99", Get("qlbar.INI", "Max"));
    EXPECT_NE("<missing>", Get("qlbar.INI", "Window"));
}

}  // namespace
