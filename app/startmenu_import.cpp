// CLaunchApp's groups from the Start Menu: the first run's question, and the import,
// which the group tool beside the executable does. The launcher stays small that way,
// and the tool is the one a user runs by hand.
#include "app/launch_app.h"

#include "buttonbar/button_bar_wnd.h"
#include "resource.h"

namespace {

constexpr char kGroupTool[] = "qlgroup.exe";
// Long enough for a Start Menu of thousands of shortcuts on a slow disk; a tool that
// takes longer is left to finish on its own.
constexpr DWORD kImportWaitMs = 120000;

void Tell(HWND owner, const std::string& text, UINT icon)
{
    MessageBoxA(owner, text.c_str(), LaunchApp()->LoadResString(IDS_PRODUCT).c_str(), MB_OK | icon);
}

}  // namespace

void CLaunchApp::OfferStartMenuImport()
{
    // Groups that cannot be read leave the bar as empty as none.
    if (!m_bAskImport || !m_groupSources.empty())
        return;
    HWND owner = m_pButtonWnd ? m_pButtonWnd->m_hWnd : nullptr;
    const int answer = MessageBoxA(owner, LoadResString(IDS_IMPORT_ASK).c_str(), LoadResString(IDS_PRODUCT).c_str(),
                                   MB_YESNO | MB_ICONQUESTION);
    if (answer == 0)
        return;  // no box could be shown: nothing was answered
    // Either answer is final: the System submenu imports later. Saved at once, so that
    // the answer holds however this run ends.
    m_bAskImport = 0;
    SaveSettings();
    if (answer == IDYES)
        ImportStartMenu();
}

void CLaunchApp::ImportStartMenu()
{
    // Posted again while the tool runs, the command would start a second one.
    if (m_bImporting)
        return;
    // The program is named by its exact path, never searched for; the command line
    // repeats its name, quoted, as the first word. Writable, as the call wants it.
    const std::string tool = SiblingPath(kGroupTool);
    char command[] = "\"qlgroup.exe\" import-startmenu";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    HWND bar = m_pButtonWnd ? m_pButtonWnd->m_hWnd : nullptr;
    if (tool.empty() || !CreateProcessA(tool.c_str(), command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process)) {
        std::string text = LoadResString(IDS_IMPORT_FAILED);
        AddFailure(text, tool, GetLastError());
        Tell(bar, text, MB_ICONEXCLAMATION);
        return;
    }
    CloseHandle(process.hThread);

    // As under a message box: the launcher's windows take no input, yet they paint and
    // their timers run. Only windows that were enabled are enabled again.
    m_bImporting = true;
    HWND dialog = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    const BOOL barWasDisabled = EnableWindow(bar, FALSE);
    const BOOL dialogWasDisabled = EnableWindow(dialog, FALSE);
    DWORD status = STILL_ACTIVE;
    bool quit = false;
    DoWaitCursor(1);
    const DWORD start = GetTickCount();
    for (DWORD waited = 0; waited < kImportWaitMs && !quit; waited = GetTickCount() - start) {
        const DWORD result = MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kImportWaitMs - waited, QS_ALLINPUT);
        if (result == WAIT_OBJECT_0) {
            if (!GetExitCodeProcess(process.hProcess, &status))
                status = STILL_ACTIVE;
            break;
        }
        if (result != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (!quit && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The run is ending: the outer loop gets the quit, and no one waits for a box.
            quit = msg.message == WM_QUIT;
            if (quit) {
                RepostQuit(static_cast<int>(msg.wParam));
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    DoWaitCursor(-1);
    CloseHandle(process.hProcess);
    if (!dialogWasDisabled)
        EnableWindow(dialog, TRUE);
    if (!barWasDisabled)
        EnableWindow(bar, TRUE);
    m_bImporting = false;
    if (quit)
        return;

    // Whatever the tool made is shown, also when it left entries out or is still at work.
    // As a reload does: the lists anew, and the rebuild reads the current group once.
    LoadGroupLists();
    if (!m_pButtonWnd) {
        LoadCurrentGroup();
        return;
    }
    m_pButtonWnd->RebuildButtons();
    if (status != 0)
        Tell(m_pButtonWnd->m_hWnd, LoadResString(IDS_IMPORT_INCOMPLETE), MB_ICONINFORMATION);
}
