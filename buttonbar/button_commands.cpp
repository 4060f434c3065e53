// The button window's commands: group choice from the menu, reload, TopMost, quit, the
// About box, ending the Windows session, and groups from the Start Menu. Whatever is
// handled here also goes on to the framework's routing, which is how the standard About
// command reaches the application.
#include "buttonbar/button_bar_wnd.h"

#include "app/launch_app.h"
#include "resource.h"

#include <windows.h>

CButtonBarWnd::ExitWindowsFunction CButtonBarWnd::s_pfnExitWindows = ::ExitWindowsEx;

namespace {

// Shutting down gives programs their chance to ask about unsaved work; only programs
// that do not answer are ended by force, so that a hung one cannot stop the shutdown.
constexpr UINT kShutdownFlags = EWX_SHUTDOWN | EWX_FORCEIFHUNG;
constexpr UINT kRebootFlags = EWX_REBOOT;

}  // namespace

BOOL CButtonBarWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return FALSE;
    if (wParam >= IDM_GROUP_FIRST && wParam <= IDM_GROUP_LAST) {
        // Any program can send this; an index that names no group would leave the bar
        // empty and be saved as the current group, so it is ignored.
        const size_t group = wParam - IDM_GROUP_FIRST;
        if (group < app->m_groupSources.size()) {
            app->m_nGroup = static_cast<int>(group);
            RebuildButtons();
        }
    }
    switch (wParam) {
    case IDM_ABOUT:
        app->ShowAbout();
        break;
    case IDM_EXIT:
        QuitLauncher();
        break;
    case IDM_TOPMOST:
        ToggleTopMost();
        break;
    case IDM_CLOSETITLE:
        HideTitlePopup();
        break;
    case IDM_RESTART:
        // The launcher's data are read again in place; no process is restarted. The rebuild
        // reads the current group.
        app->LoadGroupLists();
        RebuildButtons();
        app->LoadAssociations();
        break;
    case IDM_EXITWINDOWS:
        app->SaveSettings();
        ExitWindowsWithPrivilege(kShutdownFlags);
        break;
    case IDM_REBOOT:
        app->SaveSettings();
        ExitWindowsWithPrivilege(kRebootFlags);
        break;
    case IDM_RESTARTWINDOWS:
        // Logging off needs no privilege.
        app->SaveSettings();
        s_pfnExitWindows(EWX_LOGOFF, 0);
        break;
    case IDM_IMPORTSTARTMENU:
        app->ImportStartMenu();
        break;
    default:
        break;
    }
    return fw::Window::OnCommand(wParam, lParam);
}

void CButtonBarWnd::QuitLauncher()
{
    if (CLaunchApp* app = LaunchApp())
        app->SaveSettings();
    fw::Application::Quit(0);
}

void CButtonBarWnd::ToggleTopMost()
{
    CLaunchApp* app = LaunchApp();
    if (!app)
        return;
    HWND after = HWND_NOTOPMOST;
    if (app->m_bTopMost == 0) {
        app->m_bTopMost = 1;
        after = HWND_TOPMOST;
    } else {
        app->m_bTopMost = 0;
    }
    // Shown even when hidden; the show state stays, so the popup policy may hide it again.
    SetWindowPos(m_hWnd, after, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void CButtonBarWnd::ExitWindowsWithPrivilege(UINT uFlags)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return;
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Without the privilege the platform refuses the request; that is its answer to give.
    if (LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid))
        AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    CloseHandle(token);
    s_pfnExitWindows(uFlags, 0);
}
