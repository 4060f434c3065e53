#include "tests/support/real_launcher.h"

namespace testing_support {

namespace {
const char kSettings[] = "qlbar.INI";
const char kSection[] = "Quillbar";
}  // namespace

void RealLauncherTest::SetUp()
{
    m_exe = LauncherPath();
    ASSERT_FALSE(m_exe.empty()) << "QUILLBAR_EXE is not set";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(m_exe.c_str())) << m_exe;
    ClearGroups();
    DeleteWindowsDirFile(kSettings);
    // With no group anywhere the launcher would first ask about the Start Menu.
    Set("AskImport", "0");
}

void RealLauncherTest::TearDown()
{
    if (m_launcher) {
        // A message box left up would keep the launcher from ending.
        for (HWND window : TopLevelWindowsOf(m_launcher->Id()))
            if (window != m_dialog && ClassNameOf(window) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window))
                PostMessageA(window, WM_COMMAND, IDOK, 0);
        m_launcher->CloseWindows();
        m_launcher->WaitForExit(20000);
        m_launcher.reset();
    }
    ClearGroups();
    DeleteWindowsDirFile(kSettings);
}

void RealLauncherTest::Set(const char* key, const std::string& value)
{
    WriteProfile(kSettings, kSection, key, value);
}

std::string RealLauncherTest::Saved(const char* key) const
{
    return ReadProfile(kSettings, kSection, key);
}

void RealLauncherTest::Start()
{
    m_launcher = std::make_unique<RunningProcess>(m_exe);
    ASSERT_TRUE(m_launcher->Started()) << m_exe;
    m_bar = m_launcher->WaitForLauncherStarted();
    ASSERT_NE(nullptr, m_bar) << "the launcher did not show its bar and minimise its dialog";
    m_dialog = m_launcher->WaitForWindow("#32770");
    ASSERT_NE(nullptr, m_dialog);
}

void RealLauncherTest::Quit()
{
    m_launcher->CloseWindows();
    DWORD code = 1234;
    EXPECT_TRUE(m_launcher->WaitForExit(20000, &code)) << "the launcher did not end when its windows were closed";
    EXPECT_EQ(0u, code);
    m_launcher.reset();
}

HWND RealLauncherTest::FindWindowOf(const std::string& className, const std::string& caption) const
{
    for (HWND hWnd : TopLevelWindowsOf(m_launcher->Id()))
        if (IsWindowVisible(hWnd) && ClassNameOf(hWnd) == className && (caption.empty() || TextOf(hWnd) == caption))
            return hWnd;
    return nullptr;
}

}  // namespace testing_support
