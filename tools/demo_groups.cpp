// Puts a few demonstration program groups into the current user's registry, with
// items that start programs every Wine prefix (and Windows) has, and icons drawn here.
// The records are made by the same writer as qlgroup.exe's.
// Usage: demo_groups [--remove]
#include "authoring/group_writer.h"
#include "authoring/icon_reduce.h"
#include "catalog/group_sources.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The current user's groups, where the launcher reads them.
const char* UserGroupsPath()
{
    return kGroupsKeys[kUserGroupsKey].path;
}

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b)
{
    return (r << 16) | (g << 8) | b;
}

// A picture from a 32-line drawing, one character per pixel, and its palette letters.
StoredIcon Drawn(const char* const rows[32], const char* letters, const std::vector<uint32_t>& palette)
{
    IconPicture picture;
    for (size_t y = 0; y < 32; ++y) {
        for (size_t x = 0; x < 32; ++x) {
            const char* at = std::strchr(letters, rows[y][x]);
            const size_t i = y * 32 + x;
            picture.transparent[i] = rows[y][x] == '.' || !at;
            picture.colours[i] = picture.transparent[i] ? 0 : palette[static_cast<size_t>(at - letters)];
        }
    }
    return ReduceIcon(picture);
}

StoredIcon SolidIcon(uint32_t colour)
{
    IconPicture picture;
    picture.colours.fill(colour);
    return ReduceIcon(picture);
}

// A sheet of paper with blue lines.
StoredIcon NotepadIcon()
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
StoredIcon MineIcon()
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
StoredIcon TileIcon()
{
    IconPicture picture;
    for (size_t i = 0; i < picture.colours.size(); ++i)
        picture.colours[i] = i % 32 < 16 && i / 32 < 16 ? Rgb(0, 0, 160) : Rgb(0, 160, 224);
    return ReduceIcon(picture);
}

// An item started in the program's own directory.
WrittenItem Item(const char16_t* title, const char16_t* directory, const char16_t* program, int32_t x,
                 StoredIcon icon)
{
    WrittenItem item;
    item.title = title;
    ComposeCommand(program, directory, item.command);
    item.x = x;
    item.icon = std::move(icon);
    return item;
}

bool PutGroup(const char* key, const WrittenGroup& group)
{
    std::vector<uint8_t> record;
    if (!WriteGroupRecord(group, record).ok())
        return false;
    std::string path = std::string(UserGroupsPath()) + "\\" + key;
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
        RegDeleteTreeA(HKEY_CURRENT_USER, UserGroupsPath());
        return 0;
    }

    WrittenGroup accessories{u"Accessories", 0, 0, {}};
    accessories.items.push_back(Item(u"Notepad", u"C:\\WINDOWS", u"NOTEPAD.EXE", 0, NotepadIcon()));
    accessories.items.push_back(
        Item(u"WordPad", u"C:\\WINDOWS\\SYSTEM32", u"WORDPAD.EXE", 70, SolidIcon(Rgb(255, 255, 0))));
    accessories.items.push_back(
        Item(u"Clock", u"C:\\WINDOWS\\SYSTEM32", u"CLOCK.EXE", 140, SolidIcon(Rgb(0, 128, 0))));

    WrittenGroup games{u"Games", 200, 0, {}};
    games.items.push_back(Item(u"Minesweeper", u"C:\\WINDOWS\\SYSTEM32", u"WINEMINE.EXE", 0, MineIcon()));

    WrittenGroup system{u"System Tools", 0, 200, {}};
    system.items.push_back(Item(u"Registry Editor", u"C:\\WINDOWS", u"REGEDIT.EXE", 0, TileIcon()));
    system.items.push_back(
        Item(u"Task Manager", u"C:\\WINDOWS\\SYSTEM32", u"TASKMGR.EXE", 70, SolidIcon(Rgb(255, 0, 0))));
    system.items.push_back(
        Item(u"Command Prompt", u"C:\\WINDOWS\\SYSTEM32", u"CMD.EXE", 140, SolidIcon(Rgb(0, 0, 0))));

    bool ok = PutGroup("Accessories", accessories) && PutGroup("Games", games) && PutGroup("System Tools", system);
    if (!ok) {
        std::fprintf(stderr, "demo_groups: cannot write HKEY_CURRENT_USER\\%s\n", UserGroupsPath());
        return 1;
    }
    std::printf("Wrote 3 demonstration groups under HKEY_CURRENT_USER\\%s\n", UserGroupsPath());
    return 0;
}
