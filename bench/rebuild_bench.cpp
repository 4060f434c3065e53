// Prints how long a rebuild of the buttons and a full repaint of the bar take for a
// 99-item group, each beside the time of reading the same group record from the
// registry, so that the ratio shows what decoding and drawing add to the read; then how
// long decoding that record takes beside decoding a record whose 65,535 slots all hold
// one item with a 40,000-character title; and the writer's time for a thousand-item
// import: composing the commands, reducing the icons and writing the record. Last, a
// group switch between two 40-item groups (RebuildButtons to the painted bar) beside the
// least work the same switch needs: reading and decoding the record and drawing its icons
// into a memory bitmap, with no window work.
// Usage: rebuild_bench [runs] [--switch-only]
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "catalog/group_sources.h"
#include "authoring/group_writer.h"
#include "authoring/icon_reduce.h"
#include "buttonbar/geometry.h"
#include "tests/support/group_record_builder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

using namespace testing_support;

namespace {

const char kGroups[] = "UNICODE Program Groups";
const char kSource[] = "UUNICODE Program Groups\\Benchmark";

double MedianMs(int runs, const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QueryPerformanceCounter(&start);
        work();
        QueryPerformanceCounter(&end);
        times.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                        static_cast<double>(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<uint8_t> BenchmarkGroup()
{
    GroupRecordBuilder builder(u"Benchmark");
    for (int i = 0; i < 99; ++i) {
        IconPixels pixels{};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                pixels[y][x] = static_cast<uint8_t>((x + y + i) % 16);
        std::vector<uint32_t> palette;
        for (uint32_t c = 0; c < 16; ++c)
            palette.push_back(Rgb(static_cast<uint8_t>(c * 16), static_cast<uint8_t>(255 - c * 16),
                                  static_cast<uint8_t>(i * 2)));
        builder.AddItem(GroupItem{u"Program " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26)),
                                  u"C:\\APPS\\PROGRAM.EXE /option", i % 10 * 70, i / 10 * 60,
                                  IconFromPixels(i % 2 ? 8 : 4, palette, pixels, OpaqueMask())});
    }
    return builder.Build();
}

std::vector<uint8_t> SwitchGroup(int seed)
{
    GroupRecordBuilder builder(u"Switch");
    for (int i = 0; i < 40; ++i) {
        IconPixels pixels{};
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                pixels[y][x] = static_cast<uint8_t>((x * y + i + seed) % 16);
        std::vector<uint32_t> palette;
        for (uint32_t c = 0; c < 16; ++c)
            palette.push_back(Rgb(static_cast<uint8_t>(c * 16), static_cast<uint8_t>(seed * 40),
                                  static_cast<uint8_t>(255 - c * 16)));
        builder.AddItem(GroupItem{u"Program", u"C:\\APPS\\PROGRAM.EXE", i % 10 * 70, i / 10 * 60,
                                  IconFromPixels(4, palette, pixels, OpaqueMask())});
    }
    return builder.Build();
}

bool PutBenchmarkGroup(const std::vector<uint8_t>& record, const char* name = "Benchmark")
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kGroups) + "\\" + name).c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// What a switch cannot do without: read the record, decode it, and draw each item's icon
// (image and mask) into a memory bitmap of the strip's size.
void ReadAndDrawIcons(const std::string& source, int cellSize)
{
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> data = ReadGroupRecord(source, &size);
    CProgramGroup group;
    group.LoadFromRecord(source, data.get(), size, LOAD_ITEMS, PlatformCodePage(), GroupLists{});
    HDC screen = GetDC(nullptr);
    HDC strip = CreateCompatibleDC(screen);
    HDC maskDC = CreateCompatibleDC(screen);
    const int cells = group.ItemCount();
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cellSize * cells, cellSize);
    HGDIOBJ oldStrip = SelectObject(strip, bitmap);
    GroupRecord record(data.get(), size, PlatformCodePage());
    for (int i = 0; i < cells; ++i) {
        IconLocation icon;
        if (!record.LocateIcon(group.m_items[static_cast<size_t>(i)]->m_nIconInfo, icon))
            continue;
        HBITMAP mask = CreateBitmap(32, 32, 1, 1, data.get() + icon.mask);
        HGDIOBJ oldMask = SelectObject(maskDC, mask);
        StretchBlt(strip, i * cellSize, cellSize - 1, cellSize, -cellSize, maskDC, 0, 0, 32, 32, SRCAND);
        SelectObject(maskDC, oldMask);
        DeleteObject(mask);
        StretchDIBits(strip, i * cellSize, 0, cellSize, cellSize, 0, 0, 32, 32, data.get() + icon.bits,
                      reinterpret_cast<const BITMAPINFO*>(data.get() + icon.info), DIB_RGB_COLORS, SRCPAINT);
    }
    SelectObject(strip, oldStrip);
    DeleteObject(bitmap);
    DeleteDC(maskDC);
    DeleteDC(strip);
    ReleaseDC(nullptr, screen);
}

// What the group list costs at least: for every group under the user's key, the registry
// calls the list makes (the name by index, opening the group's key, reading its record
// whole, closing it), each timed alone; beside them a query of the record's length alone,
// which is the round trip without the record's bytes. Per group, in
// microseconds, the median of `runs` walks.
void GroupListFloor(int runs)
{
    HKEY parent = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kGroups, 0, KEY_READ, &parent) != ERROR_SUCCESS)
        return;
    DWORD groups = 0;
    RegQueryInfoKeyA(parent, nullptr, nullptr, nullptr, &groups, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr);
    std::vector<uint8_t> buffer(1 << 20);
    double bytes = 0;
    std::vector<double> enumerate, open, read, roundTrip, close;
    for (int run = 0; run < runs; ++run) {
        double e = 0, o = 0, r = 0, t = 0, c = 0;
        bytes = 0;
        for (DWORD index = 0; index < groups; ++index) {
            wchar_t name[256];
            DWORD length = 256;
            HKEY key = nullptr;
            e += MedianMs(1, [&] { RegEnumKeyExW(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr); });
            o += MedianMs(1, [&] { RegOpenKeyExW(parent, name, 0, KEY_READ, &key); });
            DWORD size = static_cast<DWORD>(buffer.size());
            r += MedianMs(1, [&] { RegQueryValueExA(key, nullptr, nullptr, nullptr, buffer.data(), &size); });
            bytes += size;
            DWORD valueLength = 0;
            t += MedianMs(1, [&] { RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &valueLength); });
            c += MedianMs(1, [&] { RegCloseKey(key); });
        }
        const double n = groups ? groups : 1;
        enumerate.push_back(1000 * e / n);
        open.push_back(1000 * o / n);
        read.push_back(1000 * r / n);
        roundTrip.push_back(1000 * t / n);
        close.push_back(1000 * c / n);
    }
    RegCloseKey(parent);
    auto median = [](std::vector<double>& v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("registry calls per group (%lu groups of %.0f bytes; median of %d walks):\n",
                static_cast<unsigned long>(groups), groups ? bytes / groups : 0.0, runs);
    std::printf("  name by index %.0f us, open %.0f us, read whole %.0f us (a round trip without the bytes %.0f us),"
                " close %.0f us\n",
                median(enumerate), median(open), median(read), median(roundTrip), median(close));
}

// Switches back and forth between two 40-item groups; prints the median switch beside the
// median of ReadAndDrawIcons for the same groups, measured alternately.
void GroupSwitch(CLaunchApp& app, int runs)
{
    PutBenchmarkGroup(SwitchGroup(1), "SwitchA");
    PutBenchmarkGroup(SwitchGroup(2), "SwitchB");
    app.LoadGroups();
    std::vector<int> switchGroups;
    for (size_t i = 0; i < app.m_groupSources.size(); ++i)
        if (app.m_groupSources[i].find("\\Switch") != std::string::npos)
            switchGroups.push_back(static_cast<int>(i));
    if (switchGroups.size() != 2) {
        std::fprintf(stderr, "rebuild_bench: the switch groups are not listed\n");
        return;
    }
    app.m_nButtonWidth = 32;
    app.m_nButtonHeight = 32;
    const int cell = EffectiveButtonSize(32);
    std::vector<double> switches, floors;
    int turn = 0;
    for (int i = 0; i < runs; ++i) {
        for (int pass = 0; pass < 2; ++pass, ++turn) {
            const int group = switchGroups[static_cast<size_t>(turn % 2)];
            switches.push_back(MedianMs(1, [&] {
                app.m_nGroup = group;
                app.m_pButtonWnd->RebuildButtons();
                UpdateWindow(app.m_pButtonWnd->m_hWnd);
            }));
            const std::string source = app.m_groupSources[static_cast<size_t>(group)];
            floors.push_back(MedianMs(1, [&] { ReadAndDrawIcons(source, cell); }));
        }
    }
    // Where a switch's time goes: its steps one by one, still alternating between the groups.
    std::vector<double> cursor, read, decode, strip, place, images, paint;
    for (int i = 0; i < runs; ++i) {
        for (int pass = 0; pass < 2; ++pass, ++turn) {
            const int group = switchGroups[static_cast<size_t>(turn % 2)];
            const std::string source = app.m_groupSources[static_cast<size_t>(group)];
            HWND bar = app.m_pButtonWnd->m_hWnd;
            app.m_nGroup = group;
            cursor.push_back(MedianMs(1, [&] { fw::WaitCursor wait; }));
            uint32_t size = 0;
            std::unique_ptr<uint8_t[]> data;
            read.push_back(MedianMs(1, [&] { data = ReadGroupRecord(source, &size); }));
            decode.push_back(MedianMs(1, [&] {
                app.m_group.LoadFromRecord(source, data.get(), size, LOAD_ITEMS, PlatformCodePage(), {});
            }));
            strip.push_back(MedianMs(1, [&] { app.BuildIconStrip(data.get(), size); }));
            place.push_back(MedianMs(1, [&] {
                const SIZE windowSize = app.ButtonWindowSize();
                app.PlaceButtonWindow(windowSize.cx, windowSize.cy);
            }));
            const ButtonLayout layout = app.Layout();
            images.push_back(MedianMs(1, [&] {
                fw::WindowDC dc(bar);
                app.PaintButtons(dc.get(), &layout);
            }));
            paint.push_back(MedianMs(1, [&] {
                InvalidateRect(bar, nullptr, TRUE);
                UpdateWindow(bar);
            }));
        }
    }
    auto median = [](std::vector<double>& times) {
        std::sort(times.begin(), times.end());
        return times[times.size() / 2];
    };
    std::sort(switches.begin(), switches.end());
    std::sort(floors.begin(), floors.end());
    const double s = switches[switches.size() / 2], f = floors[floors.size() / 2];
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kGroups) + "\\SwitchA").c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kGroups) + "\\SwitchB").c_str());
    std::printf("group switch, 40 items at 32 x 32 (median of %zu switches, alternating)\n", switches.size());
    std::printf("  RebuildButtons to the painted bar %8.3f ms; read, decode and draw the icons %8.3f ms;"
                " ratio %.2f x (target <= 1.5 x)\n", s, f, s / f);
    std::printf("  its steps: wait cursor %.3f ms, read %.3f ms, decode %.3f ms, icon strip %.3f ms, size and place"
                " %.3f ms, images painted %.3f ms (the whole bar painted instead %.3f ms)\n",
                median(cursor), median(read), median(decode), median(strip), median(place), median(images),
                median(paint));
    std::printf("SWITCH_RATIO=%.2f\n", s / f);
    // The platform calls that the switch and the idle tick make as few of as they can.
    auto perCall = [](auto call) { return MedianMs(5, [&] { for (int k = 0; k < 100; ++k) call(); }) * 10; };
    HWND bar = app.m_pButtonWnd->m_hWnd;
    std::printf("  platform calls, us each: the screen's width %.1f, the caption height %.1f (GetSystemMetrics),"
                " a key's state %.1f (GetAsyncKeyState), the window's rectangle %.1f (GetWindowRect)\n",
                perCall([] { GetSystemMetrics(SM_CXSCREEN); }), perCall([] { GetSystemMetrics(SM_CYCAPTION); }),
                perCall([] { GetAsyncKeyState(VK_SHIFT); }), perCall([bar] {
                    RECT rc;
                    GetWindowRect(bar, &rc);
                }));
}

// One idle tick of the bar in each popup mode, beside the same timer message sent to a plain
// window: the bare timer program's own work per tick. The pointer rests away from the bar
// and the edges, as in the idle spans, so a popup bar stays hidden.
void IdleTicks(CLaunchApp& app)
{
    HWND bar = app.m_pButtonWnd->m_hWnd;
    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    // The tick takes the pointer from the last message taken, as it would from its timer message.
    SetCursorPos(512, 300);
    PostMessageA(bar, WM_NULL, 0, 0);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
    auto perTick = [](HWND window) {
        SendMessageA(window, WM_TIMER, 1, 0);  // a popup bar hides at its first tick
        return MedianMs(5, [&] {
            for (int k = 0; k < 1000; ++k)
                SendMessageA(window, WM_TIMER, 1, 0);
        });  // ms per 1,000 ticks: us per tick
    };
    const int mode = app.m_nPopup;
    std::printf("idle tick, us each (median of 5 runs of 1,000): a plain window %.1f", perTick(plain));
    const std::pair<int, const char*> modes[] = {{POPUP_FIXED, "Fixed"}, {POPUP_POPUP, "PopUp"},
                                                 {POPUP_GROUPUP, "GroupUp"}};
    for (const auto& [popup, name] : modes) {
        app.m_nPopup = popup;
        std::printf(", %s %.1f", name, perTick(bar));
    }
    std::printf("\n");
    app.m_nPopup = mode;
    DestroyWindow(plain);
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    const bool switchOnly = argc > 2 && std::string(argv[2]) == "--switch-only";
    CLaunchApp app;
    app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    app.LoadSettings();
    app.m_nTitle = TITLE_HORIZONTAL;
    app.m_nMaxInLine = 10;
    app.m_nPosition = POSITION_TOP_LEFT;
    app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    app.m_pButtonWnd = new CButtonBarWnd();
    ShowWindow(app.m_pButtonWnd->m_hWnd, SW_SHOWNOACTIVATE);

    if (switchOnly) {
        // The start-up's two registry walks, and the switch.
        const double groups = MedianMs(5, [&] { app.LoadGroups(); });
        std::printf("reading the group list: %zu groups in %.1f ms (median of 5)\n", app.m_groupSources.size(),
                    groups);
        GroupListFloor(5);
        GroupSwitch(app, runs);
        IdleTicks(app);
        const double associations = MedianMs(5, [&] { app.LoadAssociations(); });
        std::printf("reading the association table: %zu entries in %.1f ms (median of 5)\n", app.m_extensions.size(),
                    associations);
        DestroyWindow(app.m_pButtonWnd->m_hWnd);
        return 0;
    }
    const std::vector<uint8_t> record = BenchmarkGroup();
    if (!PutBenchmarkGroup(record)) {
        std::fprintf(stderr, "rebuild_bench: cannot write the benchmark group\n");
        return 1;
    }
    app.m_nGroup = 0;
    app.LoadGroups();

    const double read = MedianMs(runs, [] {
        uint32_t size = 0;
        std::unique_ptr<uint8_t[]> data = ReadGroupRecord(kSource, &size);
    });
    std::printf("group record: %zu bytes, 99 items; median of %d runs\n", record.size(), runs);
    std::printf("  registry read of the record      %8.3f ms\n", read);
    for (int size : {32, 99}) {
        app.m_nButtonWidth = size;
        app.m_nButtonHeight = size;
        const double rebuild = MedianMs(runs, [&] { app.m_pButtonWnd->RebuildButtons(); });
        const double repaint = MedianMs(runs, [&] {
            RedrawWindow(app.m_pButtonWnd->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        });
        std::printf("  RebuildButtons at %2d x %2d        %8.3f ms  (%.1f x the read)\n", size, size, rebuild,
                    rebuild / read);
        std::printf("  full repaint at %2d x %2d          %8.3f ms  (%.1f x the read)\n", size, size, repaint,
                    repaint / read);
    }

    const std::vector<uint8_t> flood = OneItemInEverySlotRecord(40000);
    auto decode = [](const std::vector<uint8_t>& bytes) {
        CProgramGroup group;
        std::vector<std::string> names;
        std::vector<uint32_t> positions;
        group.LoadFromRecord(kSource, bytes.data(), bytes.size(), LOAD_ITEMS | LOAD_LIST, PlatformCodePage(),
                             GroupLists{&names, &positions});
    };
    const int decodeRuns = std::max(1, runs / 4);
    const double small = MedianMs(runs, [&] { decode(record); });
    const double large = MedianMs(decodeRuns, [&] { decode(flood); });
    std::printf("decoding a group record (LOAD_ITEMS | LOAD_LIST)\n");
    std::printf("  99 items, %7zu bytes               %8.3f ms  (median of %d)\n", record.size(), small, runs);
    std::printf("  65,535 slots of one 40,000-character item, %zu bytes  %8.3f ms  (median of %d, %.0f x)\n",
                flood.size(), large, decodeRuns, large / small);

    IconPicture picture;
    for (size_t i = 0; i < picture.colours.size(); ++i)
        picture.colours[i] = static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF;  // beyond 256 colours
    WrittenGroup thousand{u"Imported", 0, 0, {}};
    std::vector<uint8_t> written;
    const double writer = MedianMs(decodeRuns, [&] {
        thousand.items.clear();
        for (int i = 0; i < 1000; ++i) {
            WrittenItem item;
            item.title = u"Program " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
            ComposeCommand(u"C:\\Program Files\\Vendor\\program.exe --option", u"C:\\PROGRA~1\\Vendor",
                           item.command);
            item.minimized = i % 2 == 0;
            item.x = 75 * i;
            item.icon = ReduceIcon(picture);
            thousand.items.push_back(std::move(item));
        }
        WriteGroupRecord(thousand, written);
    });
    std::printf("writing a group record\n");
    std::printf("  1,000 items with icons, %zu bytes: %8.3f ms  (median of %d)\n", written.size(), writer,
                decodeRuns);

    GroupSwitch(app, runs);

    RegDeleteTreeA(HKEY_CURRENT_USER, kGroups);
    DestroyWindow(app.m_pButtonWnd->m_hWnd);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, app.ProfileName().c_str());
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    DeleteFileA((std::string(dir) + "\\" + app.ProfileName()).c_str());
    return 0;
}
