// The button window's starts: a release of a pressed button starts its item, a drop
// hands the files to the item under it. The platform work is launch/'s; what to start
// with comes from the application.
#include "buttonbar/button_bar_wnd.h"

#include "app/launch_app.h"
#include "framework/gdi.h"
#include "launch/launch_platform.h"
#include "resource.h"

#include <vector>

namespace {

// A start refused before it is tried: said in a box owned by the button window, as a
// failed start's is.
void RefuseStart(CLaunchApp& app, UINT id)
{
    HWND owner = app.m_pButtonWnd ? app.m_pButtonWnd->m_hWnd : nullptr;
    MessageBoxA(owner, app.LoadResString(id).c_str(), app.LoadResString(IDS_LAUNCH_FAILED_CAPTION).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
}

// Starts the item: a click's command line when no files are given, else a drop's.
void StartItem(CLaunchApp& app, const ItemToStart& item, const std::vector<std::string>& files)
{
    // The item's own directory, for a click and a drop alike: its program expects to run there.
    EnterWorkingDirectory(item.directory);
    const std::string commandLine =
        files.empty() ? app.BuildCommandLine(item.command) : DropCommandLine(item.command, files);
    StartProgram(commandLine, item.show, [&app](int nCode) { app.ReportLaunchError(nCode); });
    // After a start, successful or not, the popup modes put the bar away. The error box's
    // loop may have destroyed the bar's window: only the application is used now.
    if (app.m_nPopup == POPUP_FIXED)
        return;
    app.m_nCmdShow = SW_HIDE;
    if (app.m_pButtonWnd && app.m_pButtonWnd->m_hWnd)
        ShowWindow(app.m_pButtonWnd->m_hWnd, SW_HIDE);
}

}  // namespace

void CButtonBarWnd::LaunchItem(UINT, POINT)
{
    if (m_bCaptured == 1) {
        ReleaseCapture();
        m_bCaptured = 0;
    }
    if (m_bButtonDown != 1)
        return;
    fw::WaitCursor wait;
    DrawPressedButton(false);
    m_bButtonDown = 0;

    // The item whose button was pressed; the group may have changed since the press.
    CLaunchApp* app = LaunchApp();
    ItemToStart item;
    if (!app || !ItemToStartAt(app->m_group, m_nPressedItem, item))
        return;
    if (!item.exact)
        return RefuseStart(*app, IDS_ITEM_NOT_EXACT);
    StartItem(*app, item, {});
}

void CButtonBarWnd::LaunchWithFiles(HDROP hDropInfo)
{
    // Not ours to read, nor to free: ignored as a drop beside every button is.
    if (!DropHandleIsOurs(hDropInfo))
        return;
    fw::WaitCursor wait;
    POINT point = {0, 0};
    std::vector<std::string> files;
    bool exact = true;
    if (!TakeDroppedFiles(hDropInfo, point, files, exact))
        return;
    CLaunchApp* app = LaunchApp();
    if (!app)
        return;

    // A drop beside every button (title strip, empty cell) starts nothing: the files
    // alone are no program to run.
    POINT offset = {0, 0};
    app->GetStripOffset(offset);
    const ButtonAtPoint hit = HitTestButton(app->Layout(), IntPoint{offset.x, offset.y}, IntPoint{point.x, point.y});
    ItemToStart item;
    if (!hit.isButton || files.empty() || !ItemToStartAt(app->m_group, hit.index, item))
        return;
    if (!exact || !item.exact)
        return RefuseStart(*app, exact ? IDS_ITEM_NOT_EXACT : IDS_DROP_NOT_EXACT);
    StartItem(*app, item, files);
}

