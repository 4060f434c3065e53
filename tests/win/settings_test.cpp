// The settings file through the real private-profile functions: defaults, the
// replacement rules, field-by-field scanning of composite values, and what a save
// writes back.
#include "app/launch_app.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace testing_support;

namespace {

class SettingsTest : public AppTest {
protected:
    void TearDown() override
    {
        // Folders that stood in for files that cannot be written.
        RemoveDirectoryA(WindowsDirFile(m_app.ProfileName()).c_str());
        RemoveDirectoryA(m_app.UserSettingsFile().c_str());
        AppTest::TearDown();
    }

    void Put(const char* key, const char* value) { WriteProfile(m_app.ProfileName(), "Quillbar", key, value); }
    std::string Get(const char* key) { return ReadProfile(m_app.ProfileName(), "Quillbar", key); }
    std::string FileText() { return FileText(m_app.ProfileName(), WindowsDirFile(m_app.ProfileName())); }
    std::string FileText(const std::string& profile, const std::string& path)
    {
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, profile.c_str());
        std::string text = ReadWholeFile(path);
        text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
        return text;
    }
};

TEST_F(SettingsTest, ProfileIsNamedAfterTheExecutable)
{
    EXPECT_EQ("win_tests", m_app.ExeName());
    EXPECT_EQ("win_tests.INI", m_app.ProfileName());
}

TEST_F(SettingsTest, MissingFileGivesEveryDefault)
{
    m_app.LoadSettings();
    EXPECT_EQ(1, m_app.m_bTopMost);
    EXPECT_EQ(403, m_app.m_nPopupTitle);
    EXPECT_EQ(0, m_app.m_nGroup);
    EXPECT_EQ(32, m_app.m_nButtonWidth);
    EXPECT_EQ(32, m_app.m_nButtonHeight);
    EXPECT_EQ(200, m_app.m_rcWindow.left);
    EXPECT_EQ(200, m_app.m_rcWindow.top);
    EXPECT_EQ(232, m_app.m_rcWindow.right);
    EXPECT_EQ(400, m_app.m_rcWindow.bottom);
    EXPECT_EQ(606, m_app.m_nPosition);
    EXPECT_EQ(0, m_app.m_rcDialog.left);
    EXPECT_EQ(0, m_app.m_rcDialog.bottom);
    EXPECT_EQ(99, m_app.m_nMaxInLine);
    EXPECT_EQ(1, m_app.m_bStopSaver);
    EXPECT_EQ(10100, m_app.m_nPopup);
    EXPECT_EQ(10001, m_app.m_nTitle);
    EXPECT_EQ(1, m_app.m_bAskImport);
    EXPECT_EQ(0, m_app.WaitCursorCount());
}

TEST_F(SettingsTest, SaveWritesEveryKeyInOrderWithTheFifthWindowValueAsMinusOne)
{
    m_app.LoadSettings();
    m_app.SaveSettings();
    EXPECT_EQ("[Quillbar]\n"
              "Window=200,200,232,400,-1,606\n"
              "Dialog=0,0,0,0\n"
              "TopMost=1\n"
              "ButtonTitle=403\n"
              "Group=0\n"
              "Size=32,32\n"
              "Max=99\n"
              "StopSaver=1\n"
              "Popup=10100\n"
              "Title=10001\n"
              "AskImport=1\n",
              FileText());
    EXPECT_EQ(0, m_app.WaitCursorCount());
}

// A folder of the file's name stands in for a file the user may not write.
TEST_F(SettingsTest, WhereTheWindowsDirectoryCannotBeWrittenTheSettingsGoToTheUsersFile)
{
    const std::string user = m_app.UserSettingsFile();
    ASSERT_NE(std::string::npos, user.find("\\Quillbar\\win_tests.INI")) << user;
    m_app.LoadSettings();
    m_app.m_nMaxInLine = 42;
    m_app.m_nPopup = 10102;
    m_app.SaveSettings();
    const std::string written = FileText();
    DeleteWindowsDirFile(m_app.ProfileName());
    ASSERT_TRUE(CreateDirectoryA(WindowsDirFile(m_app.ProfileName()).c_str(), nullptr));
    g_errorBox = ErrorBox{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseErrorBox);
    m_app.SaveSettings();
    EXPECT_EQ(0, g_errorBox.seen);
    // Everything, as the Windows directory's file had it.
    EXPECT_EQ(written, FileText(user, user));
    m_app.m_nMaxInLine = 0;
    m_app.LoadSettings();
    EXPECT_EQ(42, m_app.m_nMaxInLine);
    EXPECT_EQ(10102, m_app.m_nPopup);

    // From now on the user's file is the settings file, whatever the Windows directory holds.
    ASSERT_TRUE(RemoveDirectoryA(WindowsDirFile(m_app.ProfileName()).c_str()));
    Put("Max", "150");
    m_app.LoadSettings();
    EXPECT_EQ(42, m_app.m_nMaxInLine);
    m_app.m_nMaxInLine = 43;
    m_app.SaveSettings();
    KillTimer(nullptr, timer);
    EXPECT_EQ("43", ReadProfile(user, "Quillbar", "Max"));
    EXPECT_EQ("150", Get("Max"));
    EXPECT_EQ(0, g_errorBox.seen);
}

TEST_F(SettingsTest, ASaveThatFailsEverywhereIsReportedOnceWithThePlacesAndTheReason)
{
    const std::string user = m_app.UserSettingsFile();
    ASSERT_TRUE(CreateDirectoryA(WindowsDirFile(m_app.ProfileName()).c_str(), nullptr));
    CreateDirectoryA(user.substr(0, user.rfind('\\')).c_str(), nullptr);
    ASSERT_TRUE(CreateDirectoryA(user.c_str(), nullptr));
    m_app.LoadSettings();
    g_errorBox = ErrorBox{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseErrorBox);
    m_app.SaveSettings();
    m_app.SaveSettings();  // as the exit does
    KillTimer(nullptr, timer);
    EXPECT_EQ(1, g_errorBox.seen);
    EXPECT_EQ("Quillbar", g_errorBox.caption);
    EXPECT_EQ(0u, g_errorBox.text.find("The settings could not be saved")) << g_errorBox.text;
    char reason[256] = {};
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_ACCESS_DENIED, 0, reason,
                   sizeof reason, nullptr);
    const std::string why = std::string(reason).substr(0, std::string(reason).find_first_of("\r\n"));
    ASSERT_FALSE(why.empty());
    EXPECT_NE(std::string::npos, g_errorBox.text.find(WindowsDirFile(m_app.ProfileName()) + ": " + why)) << g_errorBox.text;
    EXPECT_NE(std::string::npos, g_errorBox.text.find(user + ": " + why)) << g_errorBox.text;
}

TEST_F(SettingsTest, MaxAndPopupGetTheirReplacementsAndNothingElseDoes)
{
    struct Case {
        const char* max;
        int expectedMax;
        const char* popup;
        int expectedPopup;
    } cases[] = {
        {"0", 99, "0", 10100},    {"-3", 99, "1", 10101},  {"150", 150, "7", 7},
        {"1", 1, "10102", 10102}, {"x", 99, "junk", 10100},
    };
    for (const Case& c : cases) {
        Put("Max", c.max);
        Put("Popup", c.popup);
        m_app.LoadSettings();
        EXPECT_EQ(c.expectedMax, m_app.m_nMaxInLine) << "Max=" << c.max;
        EXPECT_EQ(c.expectedPopup, m_app.m_nPopup) << "Popup=" << c.popup;
    }
}

TEST_F(SettingsTest, IntegerKeysThatAreNoNumberReadAsZero)
{
    Put("TopMost", "abc");
    Put("StopSaver", "none");
    Put("Title", "horizontal");
    Put("Group", "-2");
    m_app.LoadSettings();
    EXPECT_EQ(0, m_app.m_bTopMost);
    EXPECT_EQ(0, m_app.m_bStopSaver);
    EXPECT_EQ(0, m_app.m_nTitle);
    EXPECT_EQ(-2, m_app.m_nGroup);
}

TEST_F(SettingsTest, CompositeValuesAreScannedFieldByFieldAndUnreadFieldsStayZeroAtStart)
{
    Put("Size", "40");
    Put("Window", "10,20");
    Put("Dialog", "junk");
    m_app.LoadSettings();
    EXPECT_EQ(40, m_app.m_nButtonWidth);
    EXPECT_EQ(0, m_app.m_nButtonHeight);
    EXPECT_EQ(10, m_app.m_rcWindow.left);
    EXPECT_EQ(20, m_app.m_rcWindow.top);
    EXPECT_EQ(0, m_app.m_rcWindow.right);
    EXPECT_EQ(0, m_app.m_rcWindow.bottom);
    EXPECT_EQ(0, m_app.m_nPosition);
    EXPECT_EQ(0, m_app.m_rcDialog.left);
}

TEST_F(SettingsTest, ALaterLoadKeepsThePreviousValueOfFieldsItCannotRead)
{
    m_app.LoadSettings();  // defaults: 32 x 32
    Put("Size", "50,oops");
    m_app.LoadSettings();
    EXPECT_EQ(50, m_app.m_nButtonWidth);
    EXPECT_EQ(32, m_app.m_nButtonHeight);
}

TEST_F(SettingsTest, OutOfRangeAndOddCompositeValuesAreReadSafely)
{
    Put("Size", "99999999999,-99999999999");
    Put("Window", " 1, 2,3,4,5,6 trailing");
    m_app.LoadSettings();
    EXPECT_EQ(2147483647, m_app.m_nButtonWidth);
    EXPECT_EQ(-2147483647 - 1, m_app.m_nButtonHeight);
    EXPECT_EQ(1, m_app.m_rcWindow.left);
    EXPECT_EQ(2, m_app.m_rcWindow.top);
    EXPECT_EQ(6, m_app.m_nPosition);

    // A value longer than the read buffer is cut, never overrun.
    std::string huge(4000, '7');
    Put("Size", huge.c_str());
    m_app.LoadSettings();
    EXPECT_EQ(2147483647, m_app.m_nButtonWidth);
}

TEST_F(SettingsTest, ALoadThenSaveRewritesEveryValueExceptTheFifthWindowValue)
{
    Put("Window", "-5,7,300,90,42,603");
    Put("Dialog", "1,2,3,4");
    Put("TopMost", "0");
    Put("ButtonTitle", "401");
    Put("Group", "3");
    Put("Size", "500,0");
    Put("Max", "150");
    Put("StopSaver", "7");
    Put("Popup", "10102");
    Put("Title", "12345");
    Put("AskImport", "0");
    m_app.LoadSettings();
    m_app.SaveSettings();
    EXPECT_EQ("-5,7,300,90,-1,603", Get("Window"));
    EXPECT_EQ("1,2,3,4", Get("Dialog"));
    EXPECT_EQ("0", Get("TopMost"));
    EXPECT_EQ("401", Get("ButtonTitle"));
    EXPECT_EQ("3", Get("Group"));
    EXPECT_EQ("500,0", Get("Size"));
    EXPECT_EQ("150", Get("Max"));
    EXPECT_EQ("7", Get("StopSaver"));
    EXPECT_EQ("10102", Get("Popup"));
    EXPECT_EQ("12345", Get("Title"));
    EXPECT_EQ("0", Get("AskImport"));
}

TEST_F(SettingsTest, APlaceSavedOnAMonitorThatIsGoneComesBackWholeOntoTheScreen)
{
    MONITORINFO primary;
    primary.cbSize = sizeof primary;
    ASSERT_TRUE(GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary));
    const RECT& work = primary.rcWork;
    Put("Window", "9000,-5000,9100,-4800,-1,600");
    Put("Dialog", "-3000,100,-2700,400");
    m_app.LoadSettings();
    EXPECT_EQ(work.right - 100, m_app.m_rcWindow.left);
    EXPECT_EQ(work.top, m_app.m_rcWindow.top);
    EXPECT_EQ(work.right, m_app.m_rcWindow.right);
    EXPECT_EQ(work.top + 200, m_app.m_rcWindow.bottom);
    EXPECT_EQ(work.left, m_app.m_rcDialog.left);
    EXPECT_EQ(100, m_app.m_rcDialog.top);
    EXPECT_EQ(work.left + 300, m_app.m_rcDialog.right);
    EXPECT_EQ(600, m_app.m_nPosition);

    // Partly on the screen, or no place saved (the dialog is then centred): as saved.
    Put("Window", "-50,10,50,200,-1,600");
    Put("Dialog", "0,0,0,0");
    m_app.LoadSettings();
    EXPECT_EQ(-50, m_app.m_rcWindow.left);
    EXPECT_EQ(50, m_app.m_rcWindow.right);
    EXPECT_EQ(0, m_app.m_rcDialog.left);
    EXPECT_EQ(0, m_app.m_rcDialog.right);
}

TEST_F(SettingsTest, SavingLeavesOtherSectionsAndKeysOfTheFileAlone)
{
    WriteProfile(m_app.ProfileName(), "Other", "Keep", "me");
    Put("Extra", "still here");
    m_app.LoadSettings();
    m_app.SaveSettings();
    EXPECT_EQ("me", ReadProfile(m_app.ProfileName(), "Other", "Keep"));
    EXPECT_EQ("still here", Get("Extra"));
}

}  // namespace
