#include "tests/support/app_fixture.h"

namespace testing_support {

void AppTest::SetUp()
{
    ClearGroups();
    m_app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    DeleteWindowsDirFile(m_app.ProfileName());
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
    DeleteWindowsDirFile(m_app.ProfileName());
}

void AppTest::PrepareBar()
{
    m_app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

}  // namespace testing_support
