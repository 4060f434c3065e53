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

void AttachTestApp(CLaunchApp& app)
{
    ClearGroups();
    app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    DeleteSettingsFiles(app);
}

void DetachTestApp(CLaunchApp& app)
{
    // The launcher leaves its button window to the end of the process; a test cleans up itself.
    if (app.m_pButtonWnd && app.m_pButtonWnd->m_hWnd)
        DestroyWindow(app.m_pButtonWnd->m_hWnd);
    // Including the quit that the bar's going posts.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    ClearGroups();
    DeleteSettingsFiles(app);
}

void PrepareTestBar(CLaunchApp& app)
{
    app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

}  // namespace testing_support
