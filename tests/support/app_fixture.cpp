#include "tests/support/app_fixture.h"

namespace testing_support {

namespace {

// Both places a load may read settings from: the Windows directory's file and the user's.
void DeleteSettingsFiles(const CLaunchApp& app)
{
    DeleteWindowsDirFile(app.ProfileName());
    const std::string user = app.UserSettingsFile();
    if (!user.empty()) {
        DeleteFileA(user.c_str());
        RemoveDirectoryA(user.substr(0, user.rfind('\\')).c_str());
    }
}

}  // namespace

void AppTest::SetUp()
{
    ClearGroups();
    m_app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    DeleteSettingsFiles(m_app);
}

void AppTest::TearDown()
{
    // The launcher leaves its button window to the end of the process; a test cleans up itself.
    if (m_app.m_pButtonWnd && m_app.m_pButtonWnd->m_hWnd)
        DestroyWindow(m_app.m_pButtonWnd->m_hWnd);
    // Including the quit that the bar's going posts.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ClearGroups();
    DeleteSettingsFiles(m_app);
}

void AppTest::PrepareBar()
{
    m_app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

}  // namespace testing_support
