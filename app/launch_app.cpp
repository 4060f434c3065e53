#include "app/launch_app.h"

#include "buttonbar/button_bar_wnd.h"
#include "dialogs/about_dlg.h"
#include "dialogs/setup_dlg.h"
#include "framework/colours.h"
#include "framework/step_marks.h"
#include "resource.h"

#include <new>

CLaunchApp* LaunchApp()
{
    return static_cast<CLaunchApp*>(fw::Application::Current());
}

CLaunchApp::CLaunchApp() = default;

CLaunchApp::~CLaunchApp()
{
    // The start-up's association read runs on a timer that would find this object gone.
    DiscardPendingAssociations();
}

BOOL CLaunchApp::InitInstance()
{
    // Every start moves the current directory to the item's folder, where any file may
    // lie: libraries loaded later by name must not be looked for there.
    fw::KeepCurrentDirectoryOutOfDllSearch();

    // 1. Settings first: everything below reads them.
    LoadSettings();
    QL_MARK_STEP("settings: wait cursor restored");

    // 2. The 3-D controls are optional; without them dialogs get white backgrounds.
    m_b3dControls = Enable3dControls() ? 1 : 0;
    if (!m_b3dControls)
        SetDialogBkColor(fw::kWhite, fw::kBlack);
    QL_MARK_STEP("3-D control library");

    // 3. The icon strip is held by value: its bitmap comes with the first build.

    // 4. Before the button window's class is registered with it.
    m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));

    // 5. The Set Up dialog object is the main window; its window comes with DoModal.
    m_pSetupDlg.reset(new (std::nothrow) CSetupDlg(nullptr));
    if (!m_pSetupDlg) {
        FreeObjects();
        return FALSE;
    }
    m_pMainWnd = m_pSetupDlg.get();
    QL_MARK_STEP("Set Up dialog object");

    // 6. The button window creates its window, hidden, and sets the show state.
    m_pButtonWnd = new (std::nothrow) CButtonBarWnd();
    if (!m_pButtonWnd) {
        FreeObjects();
        return FALSE;
    }

    // 7. No press is pending yet.
    m_pButtonWnd->m_bCaptured = 0;
    m_pButtonWnd->m_bButtonDown = 0;
    QL_MARK_STEP("button window, hidden");

    // 8. The groups; none at all is no reason not to start.
    LoadGroupLists();

    // 9. The document associations, read in turns once the bar is up; a start that needs them
    //    ends the read first.
    StartLoadingAssociations();
    QL_MARK_STEP("association read started");

    // 10. Otherwise the stacking stays as the window was created (on top when it was made so).
    if (m_bTopMost && !(GetWindowLongA(m_pButtonWnd->m_hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
        SetWindowPos(m_pButtonWnd->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);

    // 11. The current group's items and icon strip, from one read of its record; a strip
    //     that cannot be built leaves the buttons without images.
    LoadCurrentGroup();

    // 12. Size and place the bar for the current group.
    SIZE size = ButtonWindowSize();
    PlaceButtonWindow(size.cx, size.cy);
    QL_MARK_STEP("size and place");

    // 13. Show it as the popup mode says.
    ShowWindow(m_pButtonWnd->m_hWnd, m_nCmdShow);
    UpdateWindow(m_pButtonWnd->m_hWnd);
    QL_MARK_STEP("show and paint the bar");

    // Today's Windows keeps no groups: a bar that would stay empty offers the Start Menu's.
    OfferStartMenuImport();

    // 14. This modal loop serves the whole application until the dialog ends.
    m_pSetupDlg->DoModal();

    // 15. The run has ended normally.
    return TRUE;
}

int CLaunchApp::ExitInstance()
{
    FreeObjects();
    DiscardPendingAssociations();
    m_extensions.clear();
    m_openCommands.clear();
    SaveSettings();
    return fw::Application::ExitInstance();
}

BOOL CLaunchApp::OnCmdMsg(UINT nID)
{
    if (nID != ID_APP_ABOUT)
        return FALSE;
    ShowAbout();
    return TRUE;
}

void CLaunchApp::ShowAbout()
{
    CAboutDlg dlg(IDS_PRODUCT, IDS_ABOUT_VERSION, IDS_ABOUT_NOTICE);
    // The bar's timer leaves the bar alone while the box is up. The flag is put back as it
    // was: a box opened from inside the group menu, or over another box, must not clear it
    // while the outer one is still up.
    int wasOpen = 0;
    if (m_pButtonWnd) {
        wasOpen = m_pButtonWnd->m_bMenuOpen;
        m_pButtonWnd->m_bMenuOpen = 1;
    }
    dlg.DoModal();
    // The bar may have gone while the box was up.
    if (m_pButtonWnd)
        m_pButtonWnd->m_bMenuOpen = wasOpen;
}

void CLaunchApp::FreeObjects()
{
    if (m_pSetupDlg) {
        m_pSetupDlg.reset();
        m_pMainWnd = nullptr;
    }
    m_iconStrip.reset();
    m_groupSources.clear();
    m_groupNames.clear();
    m_groupPositions.clear();
}

ButtonLayout CLaunchApp::Layout() const
{
    ButtonLayout layout;
    layout.buttonWidth = m_nButtonWidth;
    layout.buttonHeight = m_nButtonHeight;
    layout.maxInLine = m_nMaxInLine;
    layout.itemCount = m_group.ItemCount();
    layout.titleMode = m_nTitle;
    layout.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    return layout;
}

int CLaunchApp::GetStripOffset(POINT& offset) const
{
    // Asked afresh each time: the title mode and the caption height may have changed.
    const ButtonLayout layout = Layout();
    const IntPoint strip = StripOffset(layout);
    offset = {strip.x, strip.y};
    return StripThickness(layout.captionHeight);
}

SIZE CLaunchApp::ButtonWindowSize() const
{
    const IntSize size = WindowSize(Layout());
    return SIZE{size.cx, size.cy};
}

void CLaunchApp::PlaceButtonWindow(int cx, int cy)
{
    if (!m_pButtonWnd || !m_pButtonWnd->m_hWnd)
        return;
    HWND hWnd = m_pButtonWnd->m_hWnd;
    // As the bar keeps it between display changes.
    const IntSize screen = m_pButtonWnd->m_screen;
    // A move or sizing to where the window already is changes nothing, yet costs the
    // window's position messages and the display server's work: a switch between groups
    // of one size leaves the window alone. Only a normal window's rectangle is compared.
    RECT rc;
    GetWindowRect(hWnd, &rc);
    const bool normal = !IsIconic(hWnd) && !IsZoomed(hWnd);
    if (m_nPopup == POPUP_FIXED) {
        if (!normal || rc.right - rc.left != cx || rc.bottom - rc.top != cy) {
            SetWindowPos(hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            GetWindowRect(hWnd, &rc);
        }
        const FixedPlacement place =
            FixedPosition(m_nPosition, IntSize{rc.right - rc.left, rc.bottom - rc.top}, screen);
        if (place.move && (!normal || place.topLeft.x != rc.left || place.topLeft.y != rc.top))
            SetWindowPos(hWnd, nullptr, place.topLeft.x, place.topLeft.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    } else {
        // The popup modes show the window under the cursor; its visibility is the timer's business.
        POINT cursor = {0, 0};
        GetCursorPos(&cursor);
        const IntPoint at = CentredOnCursor(IntPoint{cursor.x, cursor.y}, IntSize{cx, cy}, screen);
        if (!normal || rc.left != at.x || rc.top != at.y || rc.right - rc.left != cx || rc.bottom - rc.top != cy)
            SetWindowPos(hWnd, nullptr, at.x, at.y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CLaunchApp::ReportLaunchError(int nCode)
{
    const bool memory = (nCode & 0xFFFF) == LAUNCH_ERROR_MEMORY;
    const std::string text = LoadResString(memory ? IDS_OUT_OF_MEMORY : IDS_LAUNCH_FAILED);
    const std::string caption = LoadResString(memory ? IDS_PRODUCT : IDS_LAUNCH_FAILED_CAPTION);
    HWND owner = m_pButtonWnd ? m_pButtonWnd->m_hWnd : nullptr;
    MessageBoxA(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
