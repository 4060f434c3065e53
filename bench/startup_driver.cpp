// Start-up time and peak working set of the launcher beside the bare two-window program,
// measured the same way for both and alternately, so that a slow spell of the machine
// falls on both.
//
// "Ready" is the same for both programs: from CreateProcess until the process waits for
// input (WaitForInputIdle), its bordered popup window is visible, its dialog window is
// minimised, and the popup window answers a sent message (so its thread is in its loop).
//
// Usage: startup_driver setup <groups> <items> <extensions>
//            writes the groups (in the record format the launcher reads) and the registered
//            extensions (.extN -> type -> shell\open\command) into this prefix's registry
//        startup_driver run <runs> <launcher.exe> <bare.exe>
//            prints the medians of both, their ratio and the difference in peak working set
//        startup_driver steps <runs> <qlbar_steps.exe> <bare_steps.exe>
//            prints the median time of each step of the start-up of both, built with marks
#define PSAPI_VERSION 2
#include "authoring/group_writer.h"
#include "authoring/icon_reduce.h"
#include "bench/step_marks_layout.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// ---- setting up the prefix ----

StoredIcon PatternIcon(int seed)
{
    IconPicture picture;
    for (size_t y = 0; y < 32; ++y)
        for (size_t x = 0; x < 32; ++x) {
            const size_t i = y * 32 + x;
            picture.transparent[i] = (x + y) % 7 == 0;
            const uint32_t shade = static_cast<uint32_t>((x * 8 + y * 4 + static_cast<size_t>(seed) * 24) & 0xFF);
            picture.colours[i] = (shade << 16) | ((255 - shade) << 8) | static_cast<uint32_t>(seed * 5 & 0xFF);
        }
    return ReduceIcon(picture);
}

bool PutValue(HKEY root, const std::string& path, const std::string& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                       static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool PutGroup(int index, int items)
{
    const std::string number = std::to_string(index + 1);
    WrittenGroup group{u"Group " + std::u16string(number.begin(), number.end()), 0, 0, {}};
    for (int i = 0; i < items; ++i) {
        WrittenItem item;
        const std::string n = std::to_string(i + 1);
        item.title = u"Program " + std::u16string(n.begin(), n.end());
        if (!ComposeCommand(u"C:\\windows\\notepad.exe /p", u"C:\\windows", item.command).ok())
            return false;
        item.x = 75 * (i % 10);
        item.y = 60 * (i / 10);
        item.icon = PatternIcon(index * items + i);
        group.items.push_back(std::move(item));
    }
    std::vector<uint8_t> record;
    if (!WriteGroupRecord(group, record).ok())
        return false;
    char path[64];
    std::snprintf(path, sizeof path, "UNICODE Program Groups\\Group%02d", index + 1);
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result =
        RegSetValueExA(key, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

int Setup(int groups, int items, int extensions)
{
    for (int g = 0; g < groups; ++g)
        if (!PutGroup(g, items)) {
            std::fprintf(stderr, "startup_driver: cannot write group %d\n", g + 1);
            return 1;
        }
    for (int e = 0; e < extensions; ++e) {
        const std::string type = "QuillbarBench.Type" + std::to_string(e);
        if (!PutValue(HKEY_CLASSES_ROOT, ".ext" + std::to_string(e), type) ||
            !PutValue(HKEY_CLASSES_ROOT, type + "\\shell\\open\\command", "C:\\windows\\notepad.exe %1")) {
            std::fprintf(stderr, "startup_driver: cannot register extension %d\n", e);
            return 1;
        }
    }
    std::printf("set up %d groups of %d items and %d extensions\n", groups, items, extensions);
    return 0;
}

// ---- measuring ----

struct ProcessWindows {
    DWORD pid = 0;
    HWND bar = nullptr;
    bool barVisible = false;
    bool dialogMinimised = false;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<ProcessWindows*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(hWnd, &pid);
    if (pid != found->pid)
        return TRUE;
    char cls[64] = {};
    GetClassNameA(hWnd, cls, sizeof cls);
    const LONG_PTR style = GetWindowLongPtrA(hWnd, GWL_STYLE);
    if (lstrcmpA(cls, "#32770") == 0) {
        if (IsIconic(hWnd))
            found->dialogMinimised = true;
    } else if ((style & WS_POPUP) && (style & WS_BORDER) && IsWindowVisible(hWnd)) {
        found->bar = hWnd;
        found->barVisible = true;
    }
    return TRUE;
}

double CounterMs(int64_t counter)
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(counter) / static_cast<double>(frequency.QuadPart);
}

double NowMs()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return CounterMs(now.QuadPart);
}

// The marks a step build of the launcher left, copied before it is ended.
void ReadMarks(DWORD pid, StepMarks& out)
{
    char name[64];
    std::snprintf(name, sizeof name, kStepMarksName, static_cast<unsigned long>(pid));
    HANDLE section = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
    if (!section)
        return;
    if (const void* view = MapViewOfFile(section, FILE_MAP_READ, 0, 0, sizeof out)) {
        std::memcpy(&out, view, sizeof out);
        out.count = std::min(std::max(out.count, 0), kMaxStepMarks);
        UnmapViewOfFile(view);
    }
    CloseHandle(section);
}

struct Sample {
    double readyMs = -1;
    StepMarks marks = {};    // the step build's, when ready
    double startCounter = 0;  // the performance counter at CreateProcess
    double readyPeakKb = 0;  // the peak working set when ready
    double peakKb = 0;       // and once the start-up's later work is done
};

// The launcher reads the document associations in turns once its bar is up; three
// seconds cover that read of 2,000 extensions here several times over.
constexpr DWORD kSettleMs = 3000;

double PeakKb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / 1024.0;
}

Sample Measure(const std::string& exe, bool settle = true)
{
    Sample sample;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> line(exe.begin(), exe.end());
    line.push_back('\0');
    const double start = NowMs();
    if (!CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "startup_driver: cannot start %s (%lu)\n", exe.c_str(), GetLastError());
        return sample;
    }
    WaitForInputIdle(pi.hProcess, 30000);
    for (int tries = 0; tries < 30000; ++tries) {
        ProcessWindows found;
        found.pid = pi.dwProcessId;
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&found));
        DWORD_PTR answer = 0;
        if (found.barVisible && found.dialogMinimised &&
            SendMessageTimeoutA(found.bar, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer)) {
            sample.readyMs = NowMs() - start;
            break;
        }
        Sleep(1);
    }
    sample.readyPeakKb = PeakKb(pi.hProcess);
    sample.startCounter = start;
    ReadMarks(pi.dwProcessId, sample.marks);
    if (sample.readyMs >= 0 && settle)
        Sleep(kSettleMs);
    sample.peakKb = PeakKb(pi.hProcess);
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (sample.readyMs < 0)
        std::fprintf(stderr, "startup_driver: %s never became ready\n", exe.c_str());
    return sample;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

int Run(int runs, const std::string& launcher, const std::string& bare)
{
    // One start of each first, unmeasured: the first start of a program fills the caches.
    Measure(launcher);
    Measure(bare);
    std::vector<double> launcherMs, bareMs, launcherKb, bareKb, launcherReadyKb, bareReadyKb;
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            // Alternate which goes first, so neither always follows the other.
            const bool launcherTurn = (which == 0) == (i % 2 == 0);
            const Sample s = Measure(launcherTurn ? launcher : bare);
            if (s.readyMs < 0)
                return 1;
            (launcherTurn ? launcherMs : bareMs).push_back(s.readyMs);
            (launcherTurn ? launcherKb : bareKb).push_back(s.peakKb);
            (launcherTurn ? launcherReadyKb : bareReadyKb).push_back(s.readyPeakKb);
        }
    }
    const double lm = Median(launcherMs), bm = Median(bareMs);
    const double lk = Median(launcherKb), bk = Median(bareKb);
    const double lr = Median(launcherReadyKb), br = Median(bareReadyKb);
    std::printf("start-up to a painted bar and an idle loop (median of %d runs each):\n", runs);
    std::printf("  launcher %.1f ms; two-window program %.1f ms; ratio %.3f x (target <= 1.10 x)\n", lm, bm,
                lm / bm);
    std::printf("peak working set (median of %d runs each), %lu s after ready:\n", runs,
                static_cast<unsigned long>(kSettleMs / 1000));
    std::printf("  launcher %.0f KB; two-window program %.0f KB; over it %.0f KB = %.2f MB (target <= 1 MB)\n", lk,
                bk, lk - bk, (lk - bk) / 1024.0);
    std::printf("  (when ready: launcher %.0f KB; two-window program %.0f KB; over it %.0f KB)\n", lr, br, lr - br);
    std::printf("STARTUP_RATIO=%.3f\nPEAK_OVER_KB=%.0f\n", lm / bm, lk - bk);
    return 0;
}

// Where the start-up time goes, in the step builds of the launcher and of the bare program,
// started alternately: each step's median over the runs, from the process's creation to
// the first mark, from mark to mark, and from the last mark to ready.
struct StepTable {
    std::vector<std::string> names;
    std::vector<std::vector<double>> times;
    std::vector<double> total;

    void Add(const Sample& s)
    {
        double previous = s.startCounter;
        for (int m = 0; m <= s.marks.count; ++m) {
            const bool last = m == s.marks.count;
            const double at = last ? s.startCounter + s.readyMs : CounterMs(s.marks.marks[m].counter);
            if (static_cast<size_t>(m) >= names.size()) {
                names.push_back(last ? "message loop, first idle (ready)" : s.marks.marks[m].name);
                times.emplace_back();
            }
            times[static_cast<size_t>(m)].push_back(at - previous);
            previous = at;
        }
        total.push_back(s.readyMs);
    }

    void Print(const char* title) const
    {
        std::printf("  %s:\n", title);
        for (size_t m = 0; m < names.size(); ++m)
            std::printf("    %-42s %7.2f\n", names[m].c_str(), Median(times[m]));
        std::printf("    %-42s %7.2f\n", "total to ready", Median(total));
    }
};

int Steps(int runs, const std::string& launcher, const std::string& bare)
{
    Measure(launcher, false);
    Measure(bare, false);
    StepTable tables[2];
    for (int i = 0; i < runs; ++i) {
        for (int which = 0; which < 2; ++which) {
            const bool launcherTurn = (which == 0) == (i % 2 == 0);
            const std::string& exe = launcherTurn ? launcher : bare;
            const Sample s = Measure(exe, false);
            if (s.readyMs < 0 || s.marks.count == 0) {
                std::fprintf(stderr, "startup_driver: %s left no marks\n", exe.c_str());
                return 1;
            }
            tables[launcherTurn ? 0 : 1].Add(s);
        }
    }
    std::printf("start-up step by step (median of %d runs each, alternating; ms):\n", runs);
    tables[0].Print("launcher");
    tables[1].Print("two-window program");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "setup" && argc == 5)
        return Setup(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    if (command == "steps" && argc == 5)
        return Steps(std::max(1, std::atoi(argv[2])), argv[3], argv[4]);
    if (command == "run" && argc == 5)
        return Run(std::max(1, std::atoi(argv[2])), argv[3], argv[4]);
    std::fprintf(stderr,
                 "usage: startup_driver setup <groups> <items> <extensions>\n"
                 "       startup_driver run <runs> <launcher.exe> <bare.exe>\n"
                 "       startup_driver steps <runs> <qlbar_steps.exe> <bare_steps.exe>\n");
    return 2;
}
