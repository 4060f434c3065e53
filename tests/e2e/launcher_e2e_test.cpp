// The real qlbar.exe, started as a user would start it and closed as a user would
// close it: its windows, the settings file it leaves, and the load rules seen through
// what it writes back.
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

using namespace testing_support;

namespace {

const char kSection[] = "Quillbar";

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = LauncherPath();
        ASSERT_FALSE(m_exe.empty()) << "QUILLBAR_EXE is not set";
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_exe.c_str())) << m_exe;
        DeleteWindowsDirFile("qlbar.INI");
    }
    void TearDown() override { DeleteWindowsDirFile("qlbar.INI"); }

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

    std::string m_exe;
};

TEST_F(LauncherTest, FirstRunShowsBarAndMinimisedDialogAndLeavesEveryDefault)
{
    RunAndClose(m_exe, [](HWND bar, HWND dialog) {
        EXPECT_TRUE(IsWindowVisible(bar));
        EXPECT_EQ("Quillbar - Button Window", TextOf(bar));
        // The dialog minimises itself while it initialises, just after its window appears.
        EXPECT_TRUE(WaitUntil([dialog] { return IsIconic(dialog) != FALSE; }));
        EXPECT_EQ("Quillbar", TextOf(dialog));
    });
    std::map<std::string, std::string> expected = {
        {"TopMost", "1"},        {"ButtonTitle", "403"}, {"Group", "0"},     {"Size", "32,32"},
        {"Window", "200,200,232,400,-1,606"}, {"Dialog", "0,0,0,0"}, {"Max", "99"},
        {"StopSaver", "1"},      {"Popup", "10100"},     {"Title", "10001"},
    };
    for (const auto& [key, value] : expected)
        EXPECT_EQ(value, Get("qlbar.INI", key.c_str())) << key;
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
    RunAndClose(m_exe);
    EXPECT_EQ("99", Get("qlbar.INI", "Max"));
    EXPECT_EQ("10100", Get("qlbar.INI", "Popup"));
    EXPECT_EQ("40,0", Get("qlbar.INI", "Size"));
    EXPECT_EQ("0", Get("qlbar.INI", "TopMost"));
    EXPECT_EQ("10,20,110,220,-1,603", Get("qlbar.INI", "Window"));

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

}  // namespace
