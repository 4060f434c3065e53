// Starting programs from the button window: a click releases a pressed button, a drop
// hands files to an item's program. Also the command-line building of CLaunchApp.
#include "launch/launch_platform.h"

#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "framework/gdi.h"
#include "launch/working_directory.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

namespace {

bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string LowerDoubleByte(const std::string& pair)
{
    std::string lower = pair;
    CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

std::string WindowsDirectory()
{
    std::vector<char> buffer(MAX_PATH + 1, '\0');
    UINT length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length + 1, '\0');
        length = GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
    }
    return length < buffer.size() ? std::string(buffer.data(), length) : std::string();
}

// True when [p, p + size) is committed memory of this process that may be read.
bool Readable(const void* p, SIZE_T size)
{
    const char* at = static_cast<const char*>(p);
    const char* end = at + size;
    while (at < end) {
        MEMORY_BASIC_INFORMATION region = {};
        if (!VirtualQuery(at, &region, sizeof region) || region.State != MEM_COMMIT ||
            (region.Protect & (PAGE_NOACCESS | PAGE_GUARD)) || !region.Protect)
            return false;
        at = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
    }
    return true;
}

// A drop handle is memory of the process that made it. Under Wine's virtual desktop a
// file dragged in from X reaches the window under the pointer from the desktop's own
// process, and any program may post WM_DROPFILES: such a handle means nothing here, and
// DragQueryFile would fault reading it. Only a block of this process's memory holding a
// complete file list is read.
bool DropHandleIsOurs(HDROP hDrop)
{
    // The memory manager looks a handle up in its own tables before it reads anything, so
    // asking the size of a foreign handle reads nothing that is not ours. The address in
    // front of a block is not looked at: a process's first block may start a region.
    if (reinterpret_cast<ULONG_PTR>(hDrop) < 0x10000)
        return false;
    const SIZE_T size = GlobalSize(hDrop);
    if (size < sizeof(DROPFILES))
        return false;
    const auto* drop = static_cast<const DROPFILES*>(GlobalLock(hDrop));
    if (!drop)
        return false;
    bool complete = false;
    if (Readable(drop, size) && drop->pFiles >= sizeof(DROPFILES) && drop->pFiles < size) {
        // The names end with an empty one: two zero characters in a row.
        const char* names = reinterpret_cast<const char*>(drop) + drop->pFiles;
        const SIZE_T unit = drop->fWide ? sizeof(WCHAR) : 1;
        const SIZE_T room = (size - drop->pFiles) / unit;
        bool previousZero = false;
        for (SIZE_T i = 0; i < room && !complete; ++i) {
            const bool zero = unit == 1 ? names[i] == 0 : reinterpret_cast<const WCHAR*>(names)[i] == 0;
            complete = zero && (previousZero || i == 0);
            previousZero = zero;
        }
    }
    GlobalUnlock(hDrop);
    return complete;
}

// The shell's drop functions, loaded at the first drop: the bar needs the shell library
// for nothing else, and loading it (and what it loads) with the program costs start-up
// time and memory.
struct ShellDrop {
    UINT(WINAPI* queryFile)(HDROP, UINT, LPSTR, UINT) = nullptr;
    BOOL(WINAPI* queryPoint)(HDROP, POINT*) = nullptr;
    void(WINAPI* finish)(HDROP) = nullptr;
};

template <typename Function>
void Resolve(HMODULE module, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// Null when the library or one of its functions is missing.
const ShellDrop* ShellDropFunctions()
{
    static ShellDrop functions;
    if (!functions.finish) {
        // Kept loaded for the rest of the run, as a load-time import would be.
        HMODULE shell = LoadLibraryA("SHELL32.DLL");
        if (!shell)
            return nullptr;
        Resolve(shell, "DragQueryFileA", functions.queryFile);
        Resolve(shell, "DragQueryPoint", functions.queryPoint);
        Resolve(shell, "DragFinish", functions.finish);
        if (!functions.queryFile || !functions.queryPoint || !functions.finish) {
            functions = ShellDrop();
            return nullptr;
        }
    }
    return &functions;
}

// The dropped files' full names, each fetched whole however long it is.
std::vector<std::string> DroppedFiles(const ShellDrop& shell, HDROP hDrop)
{
    std::vector<std::string> files;
    const UINT count = shell.queryFile(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = shell.queryFile(hDrop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<char> name(length + 1, '\0');
        const UINT fetched = shell.queryFile(hDrop, i, name.data(), length + 1);
        if (fetched > 0 && fetched <= length)
            files.emplace_back(name.data(), fetched);
    }
    return files;
}

// After a start, successful or not, the popup modes put the bar away.
void HideAfterStart(CLaunchApp& app)
{
    if (app.m_nPopup == POPUP_FIXED)
        return;
    app.m_nCmdShow = SW_HIDE;
    if (app.m_pButtonWnd && app.m_pButtonWnd->m_hWnd)
        ShowWindow(app.m_pButtonWnd->m_hWnd, SW_HIDE);
}

// What a start reads of an item, copied: the error box's message loop may rebuild the
// group while the start is still running.
struct ItemToStart {
    std::string command;
    std::string directory;
    int show = SW_SHOWNORMAL;
};

bool FindItem(const CLaunchApp& app, int index, ItemToStart& start)
{
    if (index < 0 || index >= app.m_group.ItemCount())
        return false;
    const CProgramItem* item = app.m_group.m_items[static_cast<size_t>(index)].get();
    if (!item)
        return false;
    start.command = item->m_strCommand;
    start.directory = item->m_strDirectory;
    start.show = item->m_bMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    return true;
}

}  // namespace

const CodePage& PlatformCodePage()
{
    static const CodePage codePage{IsLeadByte, LowerDoubleByte};
    return codePage;
}

void EnterWorkingDirectory(const std::string& directory)
{
    const DirectoryChange change = WorkingDirectoryChange(directory, PlatformCodePage());
    if (change.directory.empty())
        return;
    if (SetCurrentDirectoryA(change.directory.c_str())) {
        // As the run-time's chdir does: the drive remembers its directory, so that
        // entering the drive below, or later, lands here.
        char current[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryA(MAX_PATH, current);
        if (length >= 2 && length < MAX_PATH && current[1] == ':') {
            const char variable[] = {'=', current[0], ':', '\0'};
            SetEnvironmentVariableA(variable, current);
        }
    }
    if (change.drive) {
        char drive[] = "?:";
        drive[0] = change.drive;
        SetCurrentDirectoryA(drive);
    }
}

int StartProgram(CLaunchApp& app, const std::string& commandLine, int nCmdShow)
{
    // Too long for the platform: refused whole rather than started cut short.
    if (commandLine.size() > kMaxCommandLine) {
        app.ReportLaunchError(LAUNCH_ERROR_TOO_LONG);
        return LAUNCH_ERROR_TOO_LONG;
    }
    // A private copy: what WinExec hands on may be written to.
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const UINT result = WinExec(line.data(), static_cast<UINT>(nCmdShow));
    if (result <= 32)
        app.ReportLaunchError(static_cast<int>(result));
    return static_cast<int>(result);
}

std::string CLaunchApp::BuildCommandLine(const std::string& command)
{
    WaitForAssociations();
    return ::BuildCommandLine(command, WindowsDirectory(), AssociationTable{m_extensions, m_openCommands},
                              PlatformCodePage());
}

void CButtonBarWnd::LaunchItem(UINT, POINT)
{
    if (m_bCaptured == 1) {
        ReleaseCapture();
        m_bCaptured = 0;
    }
    if (m_bButtonDown != 1)
        return;
    fw::WaitCursor wait;
    CLaunchApp* app = LaunchApp();
    if (app) {
        fw::WindowDC dc(m_hWnd);
        if (dc) {
            app->DrawButtonImage(dc.get(), m_ptPressed.x, m_ptPressed.y, m_nPressedItem);
            app->DrawRaisedEdge(dc.get(), m_ptPressed.x, m_ptPressed.y);
            app->DrawButtonOutline(dc.get(), m_ptPressed.x, m_ptPressed.y);
        }
    }
    m_bButtonDown = 0;

    // The item whose button was pressed; the group may have changed since the press.
    ItemToStart item;
    if (!app || !FindItem(*app, m_nPressedItem, item))
        return;
    EnterWorkingDirectory(item.directory);
    StartProgram(*app, app->BuildCommandLine(item.command), item.show);
    // The error box's loop may have destroyed this window: only the application is used now.
    HideAfterStart(*app);
}

void CButtonBarWnd::LaunchWithFiles(HDROP hDropInfo)
{
    // Not ours to read, nor to free: ignored as a drop beside every button is.
    if (!DropHandleIsOurs(hDropInfo))
        return;
    fw::WaitCursor wait;
    CLaunchApp* app = LaunchApp();
    const ShellDrop* shell = ShellDropFunctions();
    if (!shell) {
        // Nothing can be read from the drop; its memory is freed as DragFinish would.
        GlobalFree(hDropInfo);
        return;
    }
    POINT point = {0, 0};
    shell->queryPoint(hDropInfo, &point);
    const std::vector<std::string> files = DroppedFiles(*shell, hDropInfo);
    shell->finish(hDropInfo);
    if (!app)
        return;

    // A drop beside every button (title strip, empty cell) starts nothing: the files
    // alone are no program to run.
    POINT offset = {0, 0};
    app->GetStripOffset(offset);
    const ButtonAtPoint hit = HitTestButton(app->Layout(), IntPoint{offset.x, offset.y}, IntPoint{point.x, point.y});
    ItemToStart item;
    if (!hit.isButton || files.empty() || !FindItem(*app, hit.index, item))
        return;
    // The item's own directory, as for a click: its program expects to run there.
    EnterWorkingDirectory(item.directory);
    StartProgram(*app, DropCommandLine(item.command, files), item.show);
    HideAfterStart(*app);
}
