// probe: looks at the programs of the desktop it runs on from outside them, as the
// outside-in scenarios and the soak need, and prints one tab-separated line per fact:
//   probe windows                 WIN hwnd pid exe class text l,t,r,b flags
//   probe children HWND           CHILD hwnd id class text l,t,r,b check flags
//   probe processes               PROC pid exe
//   probe resources PID           RES gdi user handles ws_kb peak_ws_kb
//   probe cursor                  CURSOR x y
//   probe metrics                 METRICS screen_width screen_height caption_height
//   probe postdrop HWND X Y FILE...  posts WM_DROPFILES with a drop handle made here
//   probe dragdrop FILE...        an OLE drag of the files from under the pointer
//   probe monitors                MONITOR l,t,r,b primary|other, one line per monitor
//   probe cover SECONDS           a plain window over every monitor, held for the seconds
//   probe shortcut LINK TARGET DIR [ARGS]  SHORTCUT 1 when the shortcut file was written; a
//                                          TARGET of ::N links to the shell item CSIDL N
// Flags are words joined by commas: visible, topmost, iconic, disabled, foreground.
// Exit status 0, or 1 when asked about something that is not there, 2 on usage.
#include "tests/support/drop_files.h"

#include <windows.h>
#include <ole2.h>
#include <psapi.h>
#include <shlobj.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Texts go on one line of a tab-separated record.
std::string Clean(std::string text)
{
    for (char& c : text) {
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

// WM_GETTEXT is sent, not read from the caption cache, so edit controls of other
// processes answer with their contents.
std::string TextOf(HWND hWnd)
{
    char text[1024] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(hWnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                             &length))
        return "<no answer>";
    return Clean(text);
}

std::string ClassOf(HWND hWnd)
{
    char name[256] = {};
    GetClassNameA(hWnd, name, sizeof name);
    return Clean(name);
}

std::string ExeOf(DWORD pid)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "?";
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    std::string exe = "?";
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID == pid) {
            exe = entry.szExeFile;
            break;
        }
    }
    CloseHandle(snapshot);
    return Clean(exe);
}

std::string RectOf(HWND hWnd)
{
    RECT rc = {};
    GetWindowRect(hWnd, &rc);
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", rc.left, rc.top, rc.right, rc.bottom);
    return text;
}

std::string FlagsOf(HWND hWnd)
{
    std::string flags;
    auto add = [&flags](bool on, const char* word) {
        if (!on)
            return;
        if (!flags.empty())
            flags += ',';
        flags += word;
    };
    add(IsWindowVisible(hWnd), "visible");
    add(GetWindowLongPtrA(hWnd, GWL_EXSTYLE) & WS_EX_TOPMOST, "topmost");
    add(IsIconic(hWnd), "iconic");
    add(!IsWindowEnabled(hWnd), "disabled");
    add(GetForegroundWindow() == hWnd, "foreground");
    return flags.empty() ? "-" : flags;
}

BOOL CALLBACK PrintTopLevel(HWND hWnd, LPARAM)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    std::printf("WIN\t%p\t%lu\t%s\t%s\t%s\t%s\t%s\n", static_cast<void*>(hWnd), pid, ExeOf(pid).c_str(),
                ClassOf(hWnd).c_str(), TextOf(hWnd).c_str(), RectOf(hWnd).c_str(), FlagsOf(hWnd).c_str());
    return TRUE;
}

BOOL CALLBACK PrintChild(HWND hWnd, LPARAM)
{
    const std::string cls = ClassOf(hWnd);
    // BM_GETCHECK means something only to buttons; anything else shows "-".
    std::string check = "-";
    if (_stricmp(cls.c_str(), "Button") == 0) {
        DWORD_PTR state = 0;
        if (SendMessageTimeoutA(hWnd, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state))
            check = std::to_string(state);
    }
    std::printf("CHILD\t%p\t%d\t%s\t%s\t%s\t%s\t%s\n", static_cast<void*>(hWnd), GetDlgCtrlID(hWnd), cls.c_str(),
                TextOf(hWnd).c_str(), RectOf(hWnd).c_str(), check.c_str(), FlagsOf(hWnd).c_str());
    return TRUE;
}

HWND ParseWindow(const char* text)
{
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(text, nullptr, 16)));
}

struct WindowCount {
    DWORD pid;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++reinterpret_cast<WindowCount*>(lParam)->count;
    return TRUE;
}

BOOL CALLBACK CountOwnWindows(HWND hWnd, LPARAM lParam)
{
    auto* counted = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid == counted->pid) {
        ++counted->count;
        EnumChildWindows(hWnd, CountChild, lParam);  // every descendant, not only the direct children
    }
    return TRUE;
}

// GetGuiResources is a stub in Wine. Wine keeps each process's GDI objects in a table
// of 0x10000 entries of 24 bytes that the process's PEB points at (offset 0xF8 in a
// 64-bit process); an entry's type byte, at offset 14, is 0 when the entry is free.
// Read from the other process; -1 when that cannot be done.
long GdiObjectsOf(HANDLE process)
{
    SetLastError(0);
    const DWORD reported = GetGuiResources(process, GR_GDIOBJECTS);
    if (reported != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
        return static_cast<long>(reported);
#if defined(_WIN64)
    using QueryProcess = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic = {};
    if (!query || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    const auto* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    ULONG_PTR table = 0;
    SIZE_T got = 0;
    if (!ReadProcessMemory(process, peb + 0xF8, &table, sizeof table, &got) || !table)
        return -1;
    std::vector<BYTE> entries(0x10000 * 24);
    if (!ReadProcessMemory(process, reinterpret_cast<const void*>(table), entries.data(), entries.size(), &got))
        return -1;
    long count = 0;
    for (size_t i = 0; i < 0x10000; ++i)
        count += entries[i * 24 + 14] != 0;
    return count;
#else
    return -1;
#endif
}

// GetProcessHandleCount answers 0 under Wine for every process; the system's handle
// list names each handle's owner. -1 when neither works.
long HandlesOf(HANDLE process, DWORD pid)
{
    DWORD reported = 0;
    if (GetProcessHandleCount(process, &reported) && reported != 0)
        return static_cast<long>(reported);
    using QuerySystem = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QuerySystem>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return -1;
    struct Entry {
        ULONG ownerPid;
        BYTE objectType;
        BYTE flags;
        USHORT value;
        PVOID object;
        ULONG access;
    };
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 20);
    LONG status = 0;
    for (int tries = 0; tries < 6; ++tries) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status != kInfoLengthMismatch)
            break;
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status != 0)
        return -1;
    struct Header {
        ULONG count;
        Entry first;
    };
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + offsetof(Header, first));
    if (offsetof(Header, first) + count * sizeof(Entry) > buffer.size())
        return -1;
    long owned = 0;
    for (ULONG i = 0; i < count; ++i)
        owned += entries[i].ownerPid == pid;
    return owned;
}

int Resources(DWORD pid)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) {
        std::printf("RES\tgone\n");
        return 1;
    }
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process, &exitCode) && exitCode != STILL_ACTIVE) {
        std::printf("RES\tgone\n");
        CloseHandle(process);
        return 1;
    }
    long user = -1;
    SetLastError(0);
    const DWORD reported = GetGuiResources(process, GR_USEROBJECTS);
    if (reported != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) {
        user = static_cast<long>(reported);
    } else {
        // Where it is not implemented: the windows of the process, children included.
        WindowCount counted = {pid, 0};
        EnumWindows(CountOwnWindows, reinterpret_cast<LPARAM>(&counted));
        user = static_cast<long>(counted.count);
    }
    const long handleCount = HandlesOf(process, pid);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    long ws = -1, peak = -1;
    if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
        ws = static_cast<long>(memory.WorkingSetSize / 1024);
        peak = static_cast<long>(memory.PeakWorkingSetSize / 1024);
    }
    std::printf("RES\t%ld\t%ld\t%ld\t%ld\t%ld\n", GdiObjectsOf(process), user, handleCount, ws, peak);
    CloseHandle(process);
    return 0;
}

// The drop handle for these command-line file names.
HGLOBAL MakeDrop(POINT point, char** files, int count)
{
    return testing_support::MakeDropFiles(point, FALSE, std::vector<std::string>(files, files + count));
}

// The minimal data object and drop source that DoDragDrop needs for CF_HDROP.
class FileData : public IDataObject, public IDropSource {
public:
    explicit FileData(HGLOBAL drop) : m_drop(drop) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (riid == IID_IUnknown || riid == IID_IDataObject)
            *out = static_cast<IDataObject*>(this);
        else if (riid == IID_IDropSource)
            *out = static_cast<IDropSource*>(this);
        else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        const SIZE_T size = GlobalSize(m_drop);
        HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(copy), GlobalLock(m_drop), size);
        GlobalUnlock(copy);
        GlobalUnlock(m_drop);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override
    {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override
    {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override
    {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override
    {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    HGLOBAL m_drop;
};

// Waits for the left button to go down (the scenario presses it with xdotool), then
// drags the files until it is released: the drag an Explorer window would start.
int DragDrop(char** files, int count)
{
    if (FAILED(OleInitialize(nullptr))) {
        std::printf("DRAG\tno-ole\n");
        return 1;
    }
    HGLOBAL drop = MakeDrop(POINT{0, 0}, files, count);
    FileData data(drop);
    const DWORD start = GetTickCount();
    while (!(GetAsyncKeyState(VK_LBUTTON) & 0x8000)) {
        if (GetTickCount() - start > 15000) {
            std::printf("DRAG\tno-press\n");
            return 1;
        }
        Sleep(20);
    }
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr = DoDragDrop(&data, &data, DROPEFFECT_COPY | DROPEFFECT_LINK, &effect);
    std::printf("DRAG\t0x%08lx\t%lu\n", static_cast<unsigned long>(hr), effect);
    GlobalFree(drop);
    OleUninitialize();
    return 0;
}

// Writes a shortcut file as the shell's link object does.
bool MakeShortcut(const char* path, const char* target, const char* directory, const char* arguments)
{
    if (FAILED(CoInitialize(nullptr)))
        return false;
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&link)));
    if (ok && target[0] == ':' && target[1] == ':') {
        PIDLIST_ABSOLUTE item = nullptr;
        ok = SUCCEEDED(SHGetSpecialFolderLocation(nullptr, std::atoi(target + 2), &item)) &&
             SUCCEEDED(link->SetIDList(item));
        CoTaskMemFree(item);
    } else if (ok) {
        link->SetPath(target);
    }
    if (ok) {
        link->SetWorkingDirectory(directory);
        link->SetArguments(arguments);
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    }
    if (ok) {
        wchar_t wide[MAX_PATH] = {};
        ok = MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0 && SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    if (link)
        link->Release();
    CoUninitialize();
    return ok;
}

BOOL CALLBACK PrintMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM)
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    const bool primary = GetMonitorInfoA(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
    std::printf("MONITOR\t%ld,%ld,%ld,%ld\t%s\n", rect->left, rect->top, rect->right, rect->bottom,
                primary ? "primary" : "other");
    return TRUE;
}

BOOL CALLBACK CoverMonitor(HMONITOR, HDC, LPRECT rect, LPARAM)
{
    CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, rect->left, rect->top,
                    rect->right - rect->left, rect->bottom - rect->top, nullptr, nullptr, nullptr, nullptr);
    return TRUE;
}

// Without its virtual desktop, Wine learns where the pointer is only from X events on its
// own windows: a scenario that moves the pointer across monitors keeps these under it.
int Cover(int seconds)
{
    EnumDisplayMonitors(nullptr, nullptr, CoverMonitor, 0);
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    MSG msg;
    while (static_cast<int>(end - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: probe windows | children HWND | processes | resources PID | cursor | metrics |\n"
                         "             monitors | cover SECONDS | postdrop HWND X Y FILE... | dragdrop FILE... |\n"
                         "             shortcut LINK TARGET DIR [ARGS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return Usage();
    const std::string command = argv[1];
    if (command == "windows") {
        EnumWindows(PrintTopLevel, 0);
    } else if (command == "children" && argc == 3) {
        HWND parent = ParseWindow(argv[2]);
        if (!IsWindow(parent))
            return 1;
        EnumChildWindows(parent, PrintChild, 0);
    } else if (command == "processes") {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
            std::printf("PROC\t%lu\t%s\n", entry.th32ProcessID, Clean(entry.szExeFile).c_str());
        CloseHandle(snapshot);
    } else if (command == "resources" && argc == 3) {
        return Resources(static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)));
    } else if (command == "metrics") {
        std::printf("METRICS\t%d\t%d\t%d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                    GetSystemMetrics(SM_CYCAPTION));
    } else if (command == "cursor") {
        POINT point = {};
        GetCursorPos(&point);
        std::printf("CURSOR\t%ld\t%ld\n", point.x, point.y);
    } else if (command == "postdrop" && argc >= 6) {
        HWND target = ParseWindow(argv[2]);
        POINT point = {std::atol(argv[3]), std::atol(argv[4])};
        HGLOBAL drop = MakeDrop(point, argv + 5, argc - 5);
        // The handle means something only in this process: whatever the target makes of
        // it is what a cross-process post delivers. Kept alive until the target had time.
        const BOOL posted = drop && PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        std::printf("POSTDROP\t%d\n", posted ? 1 : 0);
        Sleep(3000);
        return posted ? 0 : 1;
    } else if (command == "monitors") {
        EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
    } else if (command == "cover" && argc == 3) {
        return Cover(std::atoi(argv[2]));
    } else if (command == "shortcut" && (argc == 5 || argc == 6)) {
        const bool made = MakeShortcut(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : "");
        std::printf("SHORTCUT\t%d\n", made ? 1 : 0);
        return made ? 0 : 1;
    } else if (command == "dragdrop" && argc >= 3) {
        return DragDrop(argv + 2, argc - 2);
    } else {
        return Usage();
    }
    return 0;
}
