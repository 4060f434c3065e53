// Prints how long a rebuild of the buttons and a full repaint of the bar take for a
// 99-item group, each beside the time of reading the same group record from the
// registry, so that the ratio shows what decoding and drawing add to the read; then how
// long decoding that record takes beside decoding a record whose 65,535 slots all hold
// one item with a 40,000-character title; and the writer's time for a thousand-item
// import: composing the commands, reducing the icons and writing the record.
// Usage: rebuild_bench [runs]
#include "app/launch_app.h"
#include "buttonbar/button_bar_wnd.h"
#include "catalog/group_sources.h"
#include "catalog/group_writer.h"
#include "catalog/icon_reduce.h"
#include "tests/support/group_record_builder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
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

bool PutBenchmarkGroup(const std::vector<uint8_t>& record)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "UNICODE Program Groups\\Benchmark", 0, nullptr, 0, KEY_WRITE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 21;
    CLaunchApp app;
    app.Attach(GetModuleHandleA(nullptr), SW_SHOWNORMAL);
    app.LoadSettings();
    app.m_nTitle = TITLE_HORIZONTAL;
    app.m_nMaxInLine = 10;
    app.m_nPosition = POSITION_TOP_LEFT;
    app.m_hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    app.m_pIconStrip = std::make_unique<fw::Bitmap>();
    app.m_pButtonWnd = new CButtonBarWnd();
    ShowWindow(app.m_pButtonWnd->m_hWnd, SW_SHOWNOACTIVATE);

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
        group.LoadFromRecord(kSource, bytes.data(), bytes.size(), LOAD_ITEMS | LOAD_LIST, PlatformCodec(),
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

    RegDeleteTreeA(HKEY_CURRENT_USER, kGroups);
    DestroyWindow(app.m_pButtonWnd->m_hWnd);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, app.ProfileName().c_str());
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    DeleteFileA((std::string(dir) + "\\" + app.ProfileName()).c_str());
    return 0;
}
