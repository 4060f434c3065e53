// Starting programs: entering an item's working directory, starting a command line as a
// process or through the shell, and reading the files of a drop.
#include "launch/launch_platform.h"

#include "launch/start_route.h"
#include "launch/working_directory.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

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

}  // namespace

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

namespace {

// The shell's drop functions, loaded at the first drop: the bar needs the shell library
// for nothing else, and loading it (and what it loads) with the program costs start-up
// time and memory.
struct ShellDrop {
    UINT(WINAPI* queryFile)(HDROP, UINT, LPWSTR, UINT) = nullptr;
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
        Resolve(shell, "DragQueryFileW", functions.queryFile);
        Resolve(shell, "DragQueryPoint", functions.queryPoint);
        Resolve(shell, "DragFinish", functions.finish);
        if (!functions.queryFile || !functions.queryPoint || !functions.finish) {
            functions = ShellDrop();
            return nullptr;
        }
    }
    return &functions;
}

// The dropped files' full names, each fetched whole however long it is, in UTF-16 and
// converted exactly; `exact` turns false at a name that does not convert.
std::vector<std::string> DroppedFiles(const ShellDrop& shell, HDROP hDrop, bool& exact)
{
    std::vector<std::string> files;
    exact = true;
    const UINT count = shell.queryFile(hDrop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = shell.queryFile(hDrop, i, nullptr, 0);
        if (length == 0)
            continue;
        std::vector<wchar_t> name(length + 1, L'\0');
        const UINT fetched = shell.queryFile(hDrop, i, name.data(), length + 1);
        if (fetched == 0 || fetched > length)
            continue;
        std::string file;
        exact = AnsiFromWide(name.data(), fetched, file) && exact;
        files.push_back(file);
    }
    return files;
}

}  // namespace

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

namespace {

constexpr int kStarted = 33;  // a start code above 32, as the platform's own starts report success
constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED, newer than these headers

// True when the process start would take this text for its program: a file where it
// searches, ".exe" added to a name without an extension.
bool IsProgramFile(const std::string& name)
{
    char found[MAX_PATH];
    const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
    // A failed look-up has every attribute bit, the directory's too.
    return length > 0 && length < MAX_PATH && !(GetFileAttributesA(found) & FILE_ATTRIBUTE_DIRECTORY);
}

// The system's error of a failed call; never ERROR_SUCCESS, so that a failure that left
// no error still counts as one.
DWORD LastError()
{
    const DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
}

// The line as a process of its own, in the current directory. The bar waits for nothing
// and keeps no handle. The system's error, or ERROR_SUCCESS.
DWORD StartProcess(std::string line, int nCmdShow)
{
    // A copy of its own: the process start may write to the line it is given.
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(nCmdShow);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return LastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ERROR_SUCCESS;
}

// The shell's "open" of the program with its parameters, in the current directory; the
// system's error, or ERROR_SUCCESS. The shell library is loaded at the first such start,
// as the drop functions are. The shell's handlers (a shortcut's, a default program's) are
// COM objects: COM is started on this thread then, and both stay for the rest of the run.
DWORD ShellStart(const StartRoute& start, int nCmdShow)
{
    static BOOL(WINAPI * execute)(SHELLEXECUTEINFOA*);
    if (!execute) {
        HRESULT(WINAPI * initialize)(void*, DWORD) = nullptr;
        if (HMODULE ole = LoadLibraryA("OLE32.DLL"))
            Resolve(ole, "CoInitializeEx", initialize);
        if (initialize)
            initialize(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (HMODULE shell = LoadLibraryA("SHELL32.DLL"))
            Resolve(shell, "ShellExecuteExA", execute);
        if (!execute)
            return LastError();
    }
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;  // the bar's own box reports
    info.lpVerb = "open";
    info.lpFile = start.program.c_str();
    info.lpParameters = start.parameters.empty() ? nullptr : start.parameters.c_str();
    info.nShow = nCmdShow;
    return execute(&info) ? ERROR_SUCCESS : LastError();
}

}  // namespace

int StartProgram(const std::string& commandLine, int nCmdShow, const LaunchErrorReport& report)
{
    // Too long for the platform: refused whole rather than started cut short.
    if (commandLine.size() > kMaxCommandLine) {
        report(LAUNCH_ERROR_TOO_LONG);
        return LAUNCH_ERROR_TOO_LONG;
    }
    StartRoute route = RouteOf(commandLine, IsProgramFile, PlatformCodePage());
    // A folder is no program: the shell opens it in a window of its own.
    const DWORD attributes = route.throughShell ? 0 : GetFileAttributesA(route.program.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        route.throughShell = true;
    DWORD error = route.throughShell ? kElevationRequired : StartProcess(commandLine, nCmdShow);
    // A program that asks for an administrator goes to the shell too: its start shows the
    // consent prompt.
    if (error == kElevationRequired)
        error = ShellStart(route, nCmdShow);
    if (error == ERROR_SUCCESS)
        return kStarted;
    if (error == ERROR_CANCELLED)
        return LAUNCH_DECLINED;
    const int code = StartErrorCode(error);
    report(code);
    return code;
}

std::string ClickCommandLine(const std::string& command, const AssociationTable& associations)
{
    return BuildCommandLine(command, WindowsDirectory(), associations, PlatformCodePage());
}

bool ItemToStartAt(const CProgramGroup& group, int index, ItemToStart& start)
{
    if (index < 0 || index >= group.ItemCount())
        return false;
    const CProgramItem* item = group.m_items[static_cast<size_t>(index)].get();
    if (!item)
        return false;
    start.command = item->m_strCommand;
    start.directory = item->m_strDirectory;
    start.show = item->m_bMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    start.exact = item->m_bExact;
    return true;
}

bool TakeDroppedFiles(HDROP hDrop, POINT& point, std::vector<std::string>& files, bool& exact)
{
    const ShellDrop* shell = ShellDropFunctions();
    if (!shell) {
        // Nothing can be read from the drop; its memory is freed as DragFinish would.
        GlobalFree(hDrop);
        return false;
    }
    point = {0, 0};
    shell->queryPoint(hDrop, &point);
    files = DroppedFiles(*shell, hDrop, exact);
    shell->finish(hDrop);
    return true;
}
