// Puts a few demonstration program groups into the current user's registry, with
// items that start programs every Wine prefix (and Windows) has, and icons drawn here.
// Usage: demo_groups [--remove]
#include "tests/support/group_record_builder.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace testing_support;

namespace {

const char kGroupsKey[] = "UNICODE Program Groups";

// A picture from a 32-line drawing, one character per pixel, and its palette letters.
IconImage Drawn(const char* const rows[32], const char* letters, std::vector<uint32_t> palette)
{
    IconPixels pixels{};
    IconMask mask{};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const char* at = std::strchr(letters, rows[y][x]);
            if (rows[y][x] == '.' || !at) {
                mask[y] |= 1u << (31 - x);  // transparent
                continue;
            }
            pixels[y][x] = static_cast<uint8_t>(at - letters);
        }
    }
    return IconFromPixels(4, std::move(palette), pixels, mask);
}

// A sheet of paper with blue lines.
IconImage NotepadIcon()
{
    static const char* const rows[32] = {
        "................................", "......KKKKKKKKKKKKKKKKKKKK......", "......KWWWWWWWWWWWWWWWWWWK......",
        "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......",
        "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......",
        "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......",
        "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......",
        "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......",
        "......KWWBBBBBBBBBBBBBBWWK......", "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBBBBBBWWK......",
        "......KWWWWWWWWWWWWWWWWWWK......", "......KWWBBBBBBBBBWWWWWWWK......", "......KWWWWWWWWWWWWWWWWWWK......",
        "......KWWWWWWWWWWWWWWWWWWK......", "......KWWWWWWWWWWWWWWWWWWK......", "......KKKKKKKKKKKKKKKKKKKK......",
        "................................", "................................", "................................",
        "................................", "................................",
    };
    return Drawn(rows, "KWB", {Rgb(0, 0, 0), Rgb(255, 255, 255), Rgb(0, 0, 255)});
}

// A black mine with spikes on a grey tile.
IconImage MineIcon()
{
    static const char* const rows[32] = {
        "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG",
        "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG", "GGGGGKGGGGGGGGGKGGGGGGGGGKGGGGGG",
        "GGGGGGKGGGGKKKKKKKKKGGGGKGGGGGGG", "GGGGGGGKGKKKKKKKKKKKKKGKGGGGGGGG", "GGGGGGGGKKKKKKKKKKKKKKKGGGGGGGGG",
        "GGGGGGGKKKWWKKKKKKKKKKKKGGGGGGGG", "GGGGGGKKKKWWKKKKKKKKKKKKKGGGGGGG", "GGGGGGKKKKKKKKKKKKKKKKKKKGGGGGGG",
        "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG", "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG", "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG",
        "GKKKKKKKKKKKKKKKKKKKKKKKKKKKKKGG", "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG", "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG",
        "GGGGGKKKKKKKKKKKKKKKKKKKKKGGGGGG", "GGGGGGKKKKKKKKKKKKKKKKKKKGGGGGGG", "GGGGGGKKKKKKKKKKKKKKKKKKKGGGGGGG",
        "GGGGGGGKKKKKKKKKKKKKKKKKGGGGGGGG", "GGGGGGGGKKKKKKKKKKKKKKKGGGGGGGGG", "GGGGGGGKGKKKKKKKKKKKKKGKGGGGGGGG",
        "GGGGGGKGGGGKKKKKKKKKGGGGKGGGGGGG", "GGGGGKGGGGGGGGGKGGGGGGGGGKGGGGGG", "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG",
        "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGKGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
        "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG", "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
    };
    return Drawn(rows, "GKW", {Rgb(192, 192, 192), Rgb(0, 0, 0), Rgb(255, 255, 255)});
}

// A quartered blue tile, for the registry editor.
IconImage TileIcon()
{
    return QuarterIcon(4, Rgb(0, 0, 160), Rgb(0, 160, 224), TransparentMask());
}

bool PutGroup(const char* key, const std::vector<uint8_t>& record)
{
    std::string path = std::string(kGroupsKey) + "\\" + key;
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG result =
        RegSetValueExA(handle, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--remove") == 0) {
        RegDeleteTreeA(HKEY_CURRENT_USER, kGroupsKey);
        return 0;
    }

    GroupRecordBuilder accessories(u"Accessories");
    accessories.Position(0, 0);
    accessories.AddItem(GroupItem{u"Notepad", u"C:\\WINDOWS\\NOTEPAD.EXE", 0, 0, NotepadIcon()});
    accessories.AddItem(GroupItem{u"WordPad", u"C:\\WINDOWS\\SYSTEM32\\WORDPAD.EXE", 70, 0, SolidIcon(4, Rgb(255, 255, 0))});
    accessories.AddItem(GroupItem{u"Clock", u"C:\\WINDOWS\\SYSTEM32\\CLOCK.EXE", 140, 0, SolidIcon(4, Rgb(0, 128, 0))});

    GroupRecordBuilder games(u"Games");
    games.Position(200, 0);
    games.AddItem(GroupItem{u"Minesweeper", u"C:\\WINDOWS\\SYSTEM32\\WINEMINE.EXE", 0, 0, MineIcon()});

    GroupRecordBuilder system(u"System Tools");
    system.Position(0, 200);
    system.AddItem(GroupItem{u"Registry Editor", u"C:\\WINDOWS\\REGEDIT.EXE", 0, 0, TileIcon()});
    system.AddItem(GroupItem{u"Task Manager", u"C:\\WINDOWS\\SYSTEM32\\TASKMGR.EXE", 70, 0, SolidIcon(4, Rgb(255, 0, 0))});
    system.AddItem(GroupItem{u"Command Prompt", u"C:\\WINDOWS\\SYSTEM32\\CMD.EXE", 140, 0, SolidIcon(4, Rgb(0, 0, 0))});

    bool ok = PutGroup("Accessories", accessories.Build()) && PutGroup("Games", games.Build()) &&
              PutGroup("System Tools", system.Build());
    if (!ok) {
        std::fprintf(stderr, "demo_groups: cannot write HKEY_CURRENT_USER\\%s\n", kGroupsKey);
        return 1;
    }
    std::printf("Wrote 3 demonstration groups under HKEY_CURRENT_USER\\%s\n", kGroupsKey);
    return 0;
}
