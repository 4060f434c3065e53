#include "app/launch_app.h"

#include "buttonbar/button_bar_wnd.h"
#include "dialogs/setup_dlg.h"
#include "resource.h"

#include <new>

CLaunchApp* LaunchApp()
{
    return static_cast<CLaunchApp*>(fw::Application::Current());
}

CLaunchApp::CLaunchApp() = default;

CLaunchApp::~CLaunchApp() = default;

BOOL CLaunchApp::InitInstance()
{
    // 1. Settings first: everything below reads them.
    LoadSettings();

    // 2. The 3-D controls are optional; without them dialogs get white backgrounds.
    m_b3dControls = Enable3dControls() ? 1 : 0;
    if (!m_b3dControls)
        SetDialogBkColor(RGB(255, 255, 255), RGB(0, 0, 0));

    // 3. The icon strip object; its bitmap comes with the first build.
    m_pIconStrip.reset(new (std::nothrow) fw::Bitmap());
    if (!m_pIconStrip) {
        FreeObjects();
        return FALSE;
    }

    // 4. Before the button window's class is registered with it.
    m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));

    // 5. The Set Up dialog object is the main window; its window comes with DoModal.
    m_pSetupDlg.reset(new (std::nothrow) CSetupDlg(nullptr));
    if (!m_pSetupDlg) {
        FreeObjects();
        return FALSE;
    }
    m_pMainWnd = m_pSetupDlg.get();

    // 6. The button window creates its window, hidden, and sets the show state.
    m_pButtonWnd = new (std::nothrow) CButtonBarWnd();
    if (!m_pButtonWnd) {
        FreeObjects();
        return FALSE;
    }

    // 7.
    m_pButtonWnd->m_bCaptured = 0;
    m_pButtonWnd->m_bButtonDown = 0;

    // 8.
    if (LoadGroups() != 0) {
        FreeObjects();
        return FALSE;
    }

    // 9.
    LoadAssociations();

    // 10. Otherwise the stacking stays as the window was created.
    if (m_bTopMost)
        SetWindowPos(m_pButtonWnd->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);

    // 11. The result does not stop the start.
    BuildIconStrip(m_group.m_strSource);

    // 12.
    SIZE size = ButtonWindowSize();
    PlaceButtonWindow(size.cx, size.cy);

    // 13.
    ShowWindow(m_pButtonWnd->m_hWnd, m_nCmdShow);
    UpdateWindow(m_pButtonWnd->m_hWnd);

    // 14. This modal loop serves the whole application until the dialog ends.
    m_pSetupDlg->DoModal();

    // 15.
    return TRUE;
}

int CLaunchApp::ExitInstance()
{
    FreeObjects();
    m_extensions.clear();
    m_openCommands.clear();
    SaveSettings();
    return fw::Application::ExitInstance();
}

void CLaunchApp::FreeObjects()
{
    if (m_pSetupDlg) {
        m_pSetupDlg.reset();
        m_pMainWnd = nullptr;
    }
    if (m_pIconStrip) {
        m_pIconStrip->reset();
        m_pIconStrip.reset();
    }
    m_groupSources.clear();
    m_groupNames.clear();
    m_groupPositions.clear();
}

void CLaunchApp::LoadAssociations()
{
    // No association is read yet: an empty table makes every command start as written.
    m_extensions.clear();
    m_openCommands.clear();
}

BOOL CLaunchApp::BuildIconStrip(const std::string&)
{
    // Until icons are drawn the strip holds no bitmap, so there is nothing to copy from it.
    if (m_pIconStrip)
        m_pIconStrip->reset();
    m_sizeIconStrip.cx = 0;
    m_sizeIconStrip.cy = 0;
    return TRUE;
}

SIZE CLaunchApp::ButtonWindowSize() const
{
    // Until the button geometry lands the window keeps the rectangle it was created with.
    SIZE size = {m_rcWindow.right - m_rcWindow.left, m_rcWindow.bottom - m_rcWindow.top};
    return size;
}

void CLaunchApp::PlaceButtonWindow(int cx, int cy)
{
    if (!m_pButtonWnd || !m_pButtonWnd->m_hWnd)
        return;
    SetWindowPos(m_pButtonWnd->m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
