#include "authoring/startmenu.h"

#include "authoring/console.h"
#include "authoring/group_edit.h"
#include "authoring/icon_extract.h"
#include "res/qlgroup_resource.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

namespace authoring {

namespace {

constexpr int kInstallStateLocal = 3;   // INSTALLSTATE_LOCAL: installed on this computer
constexpr int kInstallStateSource = 4;  // INSTALLSTATE_SOURCE: runs from the installation source
constexpr size_t kGuidChars = 39;      // a braced GUID and its terminator

// A shortcut as the shell reads it.
struct Shortcut {
    std::wstring target;  // a program, document, folder or address
    std::wstring arguments;
    std::wstring directory;
    std::wstring iconFile;
    int iconIndex = 0;
    int showCommand = SW_SHOWNORMAL;
    std::wstring shellIcon;  // whose icon the shell shows, when the icon file gives none
    bool advertised = false;
    bool shellItem = false;  // opens something that is no file (Control Panel, This PC)
    std::wstring shellItemName;
};

struct Entry {
    std::wstring path;
    std::wstring title;  // as the shell shows it
};

struct Folder {
    std::wstring diskName;  // matches the other menu's folder of the same name
    std::wstring name;      // the group's: the shell's display name
    bool localized = false;
    std::vector<Entry> entries;
};

struct Tally {
    int groups = 0;
    int items = 0;
    int present = 0;   // items the groups held already
    int skipped = 0;   // entries left out, each reported
    int failures = 0;  // of those, entries that could have been items
};

// How an entry ended: an item; not one, as it cannot be; not one, though it could be.
enum class Outcome { Made, CannotBe, Failed };

bool EndsWith(const std::wstring& name, const wchar_t* extension)
{
    const size_t length = wcslen(extension);
    return name.size() > length && _wcsicmp(name.c_str() + name.size() - length, extension) == 0;
}

bool SameName(const std::wstring& a, const std::wstring& b)
{
    return lstrcmpiW(a.c_str(), b.c_str()) == 0;
}

std::wstring Expanded(const std::wstring& text)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, sizeof buffer / sizeof buffer[0]);
    return length > 0 && length <= sizeof buffer / sizeof buffer[0] ? std::wstring(buffer) : text;
}

std::wstring IniText(const std::wstring& file, const wchar_t* section, const std::wstring& key)
{
    wchar_t text[MAX_PATH * 4] = {};
    GetPrivateProfileStringW(section, key.c_str(), L"", text, sizeof text / sizeof text[0], file.c_str());
    return text;
}

// "@FILE,-ID": string ID of a library's table. The shell's own reader first; it reads
// the other forms too, but Wine's reads none.
std::wstring IndirectString(const std::wstring& reference)
{
    wchar_t text[MAX_PATH * 4] = {};
    const UINT size = sizeof text / sizeof text[0];
    if (SUCCEEDED(SHLoadIndirectString(reference.c_str(), text, size, nullptr)) && text[0])
        return text;
    const std::wstring expanded = Expanded(reference.substr(1));
    const size_t comma = expanded.rfind(L',');
    if (comma == std::wstring::npos || comma + 2 >= expanded.size() || expanded[comma + 1] != L'-')
        return std::wstring();
    wchar_t* end = nullptr;
    const unsigned long id = std::wcstoul(expanded.c_str() + comma + 2, &end, 10);
    if (!end || *end || id > 0xFFFF)
        return std::wstring();
    // As data: nothing of the library runs.
    HMODULE module = LoadLibraryExW(expanded.substr(0, comma).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::wstring();
    const int length = LoadStringW(module, static_cast<UINT>(id), text, size);
    FreeLibrary(module);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// A name desktop.ini gives: plain, or a reference to a library's string.
std::wstring LocalizedName(const std::wstring& folder, const wchar_t* section, const std::wstring& key)
{
    const std::wstring value = IniText(folder + L"\\desktop.ini", section, key);
    return !value.empty() && value[0] == L'@' ? IndirectString(value) : value;
}

// A file as the shell shows it: desktop.ini's name for it, or its name without extension.
std::wstring TitleOf(const std::wstring& folder, const std::wstring& name)
{
    const std::wstring localized = LocalizedName(folder, L"LocalizedFileNames", name);
    if (!localized.empty())
        return localized;
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

std::wstring LastComponent(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The entries of a folder, sorted by name so that the result does not depend on the file
// system's order: its folders, and its files but the hidden ones and desktop.ini, which
// the shell does not show either. False when the folder cannot be read.
bool ListFolder(const std::wstring& folder, std::vector<std::wstring>& folders, std::vector<std::wstring>& files)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(name);
        else if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) &&
                 !SameName(name, L"desktop.ini"))
            files.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(folders.begin(), folders.end());
    std::sort(files.begin(), files.end());
    return true;
}

void AddEntries(const std::wstring& folder, const std::vector<std::wstring>& files, std::vector<Entry>& entries)
{
    for (const std::wstring& name : files)
        entries.push_back(Entry{folder + L"\\" + name, TitleOf(folder, name)});
}

// Every entry below a folder, its own first, then each sub-folder's in turn.
void CollectEntries(const std::wstring& path, std::vector<Entry>& entries, Tally& tally, int depth = 0)
{
    std::vector<std::wstring> folders, files;
    if (!ListFolder(path, folders, files)) {
        Complain(IDS_QG_SM_SKIPPED, {path, Text(IDS_QG_SM_FOLDER_UNREADABLE)});
        ++tally.skipped;
        ++tally.failures;
        return;
    }
    AddEntries(path, files, entries);
    // Reparse points could lead back up; a sane Start Menu is never this deep.
    if (depth >= 32)
        return;
    for (const std::wstring& name : folders)
        CollectEntries(path + L"\\" + name, entries, tally, depth + 1);
}

// The group of a menu's folder: the one of the same name, on disk or as shown, when
// the other menu had it already.
Folder& GroupFor(std::vector<Folder>& groups, const std::wstring& path)
{
    const std::wstring diskName = LastComponent(path);
    const std::wstring localized = LocalizedName(path, L".ShellClassInfo", L"LocalizedResourceName");
    const std::wstring shown = localized.empty() ? diskName : localized;
    for (Folder& group : groups) {
        if (SameName(group.diskName, diskName) || SameName(group.name, shown)) {
            if (!group.localized && !localized.empty()) {
                group.name = localized;
                group.localized = true;
            }
            return group;
        }
    }
    groups.push_back(Folder{diskName, shown, !localized.empty(), {}});
    return groups.back();
}

// The show command as the shortcut file's header records it: 32 bits at 0x3C of the
// 0x4C-byte header. Some link objects (Wine's) report every one as normal.
bool HeaderShowCommand(const std::wstring& path, int& show)
{
    constexpr DWORD kHeaderSize = 0x4C;
    constexpr DWORD kShowCommandAt = 0x3C;
    uint8_t header[kHeaderSize];
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD read = 0;
    const bool ok = ReadFile(file, header, kHeaderSize, &read, nullptr) && read == kHeaderSize &&
                    header[0] == kHeaderSize && header[1] == 0 && header[2] == 0 && header[3] == 0;
    CloseHandle(file);
    if (ok)
        show = header[kShowCommandAt] | (header[kShowCommandAt + 1] << 8);
    return ok;
}

// An installer's shortcut names a product's feature, not a file; its path is an icon.
bool IsAdvertised(IShellLinkW* link)
{
    IShellLinkDataList* data = nullptr;
    if (FAILED(link->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&data))))
        return false;
    DWORD flags = 0;
    bool advertised = SUCCEEDED(data->GetFlags(&flags)) && (flags & SLDF_HAS_DARWINID);
    // Wine's link object gives the block without the flag.
    void* block = nullptr;
    if (!advertised && SUCCEEDED(data->CopyDataBlock(EXP_DARWIN_ID_SIG, &block)) && block)
        advertised = true;
    if (block)
        LocalFree(block);
    data->Release();
    return advertised;
}

// Where a link without a path leads: a file-system item's path, or else the shell item's name.
void ReadIdList(IShellLinkW* link, Shortcut& out)
{
    PIDLIST_ABSOLUTE items = nullptr;
    if (FAILED(link->GetIDList(&items)) || !items)
        return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(items, path) && path[0]) {
        out.target = path;
    } else {
        out.shellItem = true;
        SHFILEINFOW info = {};
        if (SHGetFileInfoW(reinterpret_cast<const wchar_t*>(items), 0, &info, sizeof info,
                           SHGFI_PIDL | SHGFI_DISPLAYNAME))
            out.shellItemName = info.szDisplayName;
    }
    CoTaskMemFree(items);
}

bool ReadShortcut(const std::wstring& path, Shortcut& out)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok)
        ok = SUCCEEDED(file->Load(path.c_str(), STGM_READ));
    if (ok) {
        wchar_t text[MAX_PATH * 4] = {};
        const int size = sizeof text / sizeof text[0];
        out.advertised = IsAdvertised(link);
        if (!out.advertised && SUCCEEDED(link->GetPath(text, size, nullptr, SLGP_RAWPATH)))
            out.target = Expanded(text);
        if (!out.advertised && out.target.empty())
            ReadIdList(link, out);
        text[0] = 0;
        if (SUCCEEDED(link->GetArguments(text, size)))
            out.arguments = text;
        text[0] = 0;
        if (SUCCEEDED(link->GetWorkingDirectory(text, size)))
            out.directory = Expanded(text);
        text[0] = 0;
        int index = 0;
        if (SUCCEEDED(link->GetIconLocation(text, size, &index))) {
            out.iconFile = Expanded(text);
            out.iconIndex = index;
        }
        int show = SW_SHOWNORMAL;
        if (HeaderShowCommand(path, show) || SUCCEEDED(link->GetShowCmd(&show)))
            out.showCommand = show;
    }
    if (file)
        file->Release();
    link->Release();
    return ok;
}

// The program the installer placed for an advertised shortcut; empty when it is not
// installed here (or only on first use). The installer's library is loaded from the
// system folder when first needed, and stays.
std::wstring InstalledProgram(const std::wstring& link)
{
    static UINT(WINAPI * shortcutTarget)(LPCWSTR, LPWSTR, LPWSTR, LPWSTR);
    static int(WINAPI * componentPath)(LPCWSTR, LPCWSTR, LPWSTR, DWORD*);
    if (!shortcutTarget || !componentPath) {
        wchar_t system[MAX_PATH] = {};
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        HMODULE msi = length > 0 && length < MAX_PATH ? LoadLibraryW((std::wstring(system) + L"\\msi.dll").c_str())
                                                      : nullptr;
        if (!msi)
            return std::wstring();
        shortcutTarget = reinterpret_cast<decltype(shortcutTarget)>(
            reinterpret_cast<void*>(GetProcAddress(msi, "MsiGetShortcutTargetW")));
        componentPath = reinterpret_cast<decltype(componentPath)>(
            reinterpret_cast<void*>(GetProcAddress(msi, "MsiGetComponentPathW")));
        if (!shortcutTarget || !componentPath)
            return std::wstring();
    }
    wchar_t product[kGuidChars] = {}, feature[kGuidChars] = {}, component[kGuidChars] = {};
    if (shortcutTarget(link.c_str(), product, feature, component) != ERROR_SUCCESS)
        return std::wstring();
    wchar_t path[MAX_PATH * 4] = {};
    DWORD length = sizeof path / sizeof path[0];
    const int state = componentPath(product, component, path, &length);
    if (state != kInstallStateLocal && state != kInstallStateSource)
        return std::wstring();
    // A component may be kept by a registry key rather than a file.
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? path : std::wstring();
}

// A working directory the launcher can split off: its short form when it holds spaces.
std::wstring StorableDirectory(const std::wstring& directory)
{
    if (directory.find(L' ') == std::wstring::npos)
        return directory;
    wchar_t shortPath[MAX_PATH * 4];
    const DWORD length = GetShortPathNameW(directory.c_str(), shortPath, sizeof shortPath / sizeof shortPath[0]);
    if (length == 0 || length >= sizeof shortPath / sizeof shortPath[0])
        return directory;
    return shortPath;
}

// The item that starts or opens the target.
Outcome MakeItem(const std::wstring& title, const Shortcut& link, WrittenItem& item)
{
    if (!Representable(title))
        return Outcome::Failed;
    if (!FitsRecord(title)) {
        Complain(IDS_QG_TITLE_BAD, {title});
        return Outcome::Failed;
    }
    std::wstring command = link.target.find(L' ') == std::wstring::npos ? link.target : L"\"" + link.target + L"\"";
    if (!link.arguments.empty())
        command += L" " + link.arguments;
    if (!Representable(command))
        return Outcome::Failed;
    if (!FitsRecord(command)) {
        Complain(IDS_QG_COMMAND_TOO_LONG, {title});
        return Outcome::Failed;
    }
    item.title = ToU16(title);
    const std::wstring directory = StorableDirectory(link.directory);
    if (!Representable(directory))
        return Outcome::Failed;
    if (!ComposeCommand(ToU16(command), ToU16(directory), item.command).ok()) {
        Complain(IDS_QG_SM_NO_DIR, {title, link.directory});
        if (!ComposeCommand(ToU16(command), u"", item.command).ok()) {
            Complain(IDS_QG_COMMAND_TOO_LONG, {title});
            return Outcome::Failed;
        }
    }
    item.minimized = link.showCommand == SW_SHOWMINNOACTIVE || link.showCommand == SW_SHOWMINIMIZED ||
                     link.showCommand == SW_MINIMIZE;
    if (!link.iconFile.empty())
        item.icon = IconFromFile(link.iconFile, link.iconIndex);
    if (!item.icon)
        item.icon = IconFromFile(link.target, 0);
    if (!item.icon && !link.shellIcon.empty())
        item.icon = ShellIconOf(link.shellIcon);
    return Outcome::Made;
}

Outcome ItemFromShortcut(const Entry& entry, WrittenItem& item)
{
    Shortcut link;
    if (!ReadShortcut(entry.path, link)) {
        Complain(IDS_QG_SM_SKIPPED, {entry.path, Text(IDS_QG_SM_LINK_UNREADABLE)});
        return Outcome::Failed;
    }
    if (link.advertised) {
        link.target = InstalledProgram(entry.path);
        if (link.target.empty()) {
            Complain(IDS_QG_SM_SKIPPED, {entry.path, Text(IDS_QG_SM_NOT_INSTALLED)});
            return Outcome::Failed;
        }
    }
    if (link.shellItem) {
        const std::wstring name = link.shellItemName.empty() ? Text(IDS_QG_SM_A_SHELL_ITEM) : link.shellItemName;
        Say(IDS_QG_SM_SKIPPED, {entry.path, Fill(IDS_QG_SM_SHELL_ITEM, {name})});
        return Outcome::CannotBe;
    }
    if (link.target.empty()) {
        Complain(IDS_QG_SM_SKIPPED, {entry.path, Text(IDS_QG_SM_NO_TARGET)});
        return Outcome::Failed;
    }
    link.shellIcon = link.target;
    return MakeItem(entry.title, link, item);
}

// True for "scheme:rest", the scheme two or more letters, digits, '+', '-' or '.' from
// a letter on: what the launcher hands to the shell as an address.
bool IsAddress(const std::wstring& text)
{
    const size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2 || !iswalpha(text[0]) || text[0] > 0x7F)
        return false;
    for (size_t i = 1; i < colon; ++i) {
        const wchar_t c = text[i];
        if (c > 0x7F || !(iswalnum(c) || c == L'+' || c == L'-' || c == L'.'))
            return false;
    }
    return true;
}

// An internet shortcut's address. Its [InternetShortcut.W] section, when there is one,
// holds the address whole in UTF-7; the other only what the writer's code page held.
std::wstring AddressOf(const std::wstring& path)
{
    const std::wstring utf7 = IniText(path, L"InternetShortcut.W", L"URL");
    if (!utf7.empty() && std::all_of(utf7.begin(), utf7.end(), [](wchar_t c) { return c < 0x80; })) {
        const std::string bytes(utf7.begin(), utf7.end());
        const int length = MultiByteToWideChar(CP_UTF7, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        if (length > 0) {
            std::wstring address(static_cast<size_t>(length), L'\0');
            MultiByteToWideChar(CP_UTF7, 0, bytes.data(), static_cast<int>(bytes.size()), &address[0], length);
            return address;
        }
    }
    return IniText(path, L"InternetShortcut", L"URL");
}

Outcome ItemFromInternetShortcut(const Entry& entry, WrittenItem& item)
{
    Shortcut link;
    link.target = AddressOf(entry.path);
    if (!IsAddress(link.target)) {
        Complain(IDS_QG_SM_SKIPPED, {entry.path, Text(IDS_QG_SM_NO_ADDRESS)});
        return Outcome::Failed;
    }
    link.iconFile = Expanded(IniText(entry.path, L"InternetShortcut", L"IconFile"));
    link.iconIndex = static_cast<int>(GetPrivateProfileIntW(L"InternetShortcut", L"IconIndex", 0, entry.path.c_str()));
    link.shellIcon = entry.path;
    return MakeItem(entry.title, link, item);
}

Outcome ItemFromEntry(const Entry& entry, WrittenItem& item)
{
    if (EndsWith(entry.path, L".lnk"))
        return ItemFromShortcut(entry, item);
    if (EndsWith(entry.path, L".url"))
        return ItemFromInternetShortcut(entry, item);
    // Any other file opens as a document, as the Start Menu opens it.
    Shortcut file;
    file.target = file.shellIcon = entry.path;
    return MakeItem(entry.title, file, item);
}

// True when the group has an item of this title that runs the same command.
bool HasItem(const WrittenGroup& group, const WrittenItem& item)
{
    std::u16string directory, command, otherCommand;
    ExpandCommand(item.command, directory, command);
    for (const WrittenItem& other : group.items) {
        if (other.title != item.title)
            continue;
        ExpandCommand(other.command, directory, otherCommand);
        if (lstrcmpiW(ToWide(otherCommand).c_str(), ToWide(command).c_str()) == 0)
            return true;
    }
    return false;
}

// The group a folder's items go into: the stored one, new or (replacing) emptied. False
// when the stored group cannot be read.
bool StartGroup(const Folder& folder, const StartMenuOptions& options, const GroupPlace& place, WrittenGroup& group,
                bool& exists)
{
    exists = GroupExists(place, folder.name);
    if (!exists) {
        group = NewGroup(folder.name);
        return true;
    }
    WrittenGroup old;
    const bool loaded = LoadGroup(place, folder.name, old) == kDone;
    if (!options.replace) {
        group = std::move(old);
        return loaded;
    }
    group = NewGroup(folder.name);
    if (loaded) {
        // A replaced group keeps its place among the others.
        group.left = old.left;
        group.top = old.top;
    }
    return true;
}

void ImportFolder(const Folder& folder, const StartMenuOptions& options, const GroupPlace& place, Tally& tally)
{
    const int entries = static_cast<int>(folder.entries.size());
    bool usable = Representable(folder.name);
    if (usable && !UsableName(folder.name)) {
        Complain(IDS_QG_NAME_BAD, {folder.name});
        usable = false;
    }
    WrittenGroup group;
    bool exists = false;
    if (!usable || !StartGroup(folder, options, place, group, exists)) {
        tally.skipped += entries;
        tally.failures += entries;
        return;
    }
    const size_t before = group.items.size();
    int present = 0;
    for (const Entry& entry : folder.entries) {
        WrittenItem item;
        const Outcome outcome = ItemFromEntry(entry, item);
        if (outcome != Outcome::Made) {
            ++tally.skipped;
            tally.failures += outcome == Outcome::Failed ? 1 : 0;
        } else if (HasItem(group, item)) {
            ++present;
        } else {
            PlaceAtEnd(group, item);
            group.items.push_back(std::move(item));
        }
    }
    const int added = static_cast<int>(group.items.size() - before);
    tally.present += present;
    // Nothing to write: no new group without items, no unchanged group written again.
    if (added == 0 && (!exists || !options.replace))
        return;
    const bool made = !exists || options.replace;
    if (made)
        Say(IDS_QG_SM_GROUP, {folder.name, std::to_wstring(added)});
    else
        Say(IDS_QG_SM_GROUP_ADDED, {folder.name, std::to_wstring(added), std::to_wstring(present)});
    if (options.dryRun) {
        for (size_t i = before; i < group.items.size(); ++i) {
            std::u16string directory, command;
            ExpandCommand(group.items[i].command, directory, command);
            Say(IDS_QG_SM_DRY_RUN, {ToWide(group.items[i].title), ToWide(command)});
        }
    } else if (StoreGroup(place, folder.name, group) != kDone) {
        tally.skipped += added;
        tally.failures += std::max(added, 1);  // a replacing write that failed left the old group
        return;
    }
    tally.groups += made ? 1 : 0;
    tally.items += added;
}

std::wstring ProgramsFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return std::wstring();
    return path;
}

}  // namespace

int ImportStartMenu(const StartMenuOptions& options)
{
    std::vector<std::wstring> menus;
    if (!options.common)
        menus.push_back(ProgramsFolder(CSIDL_PROGRAMS));
    menus.push_back(ProgramsFolder(CSIDL_COMMON_PROGRAMS));

    const bool comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    Tally tally;
    std::vector<Folder> groups;
    std::vector<std::vector<std::wstring>> folders(menus.size());
    size_t read = 0;
    // Entries straight in a programs folder make a group named after it; it comes first.
    for (size_t i = 0; i < menus.size(); ++i) {
        std::vector<std::wstring> files;
        if (menus[i].empty() || !ListFolder(menus[i], folders[i], files)) {
            // A menu that is not there is no menu to read; one that cannot be read is reported.
            if (!menus[i].empty() && GetFileAttributesW(menus[i].c_str()) != INVALID_FILE_ATTRIBUTES) {
                Complain(IDS_QG_SM_SKIPPED, {menus[i], Text(IDS_QG_SM_FOLDER_UNREADABLE)});
                ++tally.skipped;
                ++tally.failures;
            }
            menus[i].clear();
            continue;
        }
        ++read;
        if (!files.empty())
            AddEntries(menus[i], files, GroupFor(groups, menus[i]).entries);
    }
    if (read == 0) {
        if (comInitialised)
            CoUninitialize();
        Complain(IDS_QG_SM_NO_FOLDER);
        return kRefused;
    }
    const size_t topGroups = groups.size();
    for (size_t i = 0; i < menus.size(); ++i) {
        for (const std::wstring& name : folders[i]) {
            const std::wstring path = menus[i] + L"\\" + name;
            CollectEntries(path, GroupFor(groups, path).entries, tally);
        }
    }
    std::sort(groups.begin() + static_cast<std::ptrdiff_t>(topGroups), groups.end(),
              [](const Folder& a, const Folder& b) { return lstrcmpiW(a.name.c_str(), b.name.c_str()) < 0; });
    const GroupPlace place = options.common ? CommonGroups() : UserGroups();
    for (const Folder& folder : groups)
        ImportFolder(folder, options, place, tally);

    if (comInitialised)
        CoUninitialize();
    Say(options.dryRun ? IDS_QG_SM_SUMMARY_DRY_RUN : IDS_QG_SM_SUMMARY,
        {std::to_wstring(tally.groups), std::to_wstring(tally.items), std::to_wstring(tally.present),
         std::to_wstring(tally.skipped)});
    return tally.failures == 0 ? kDone : kRefused;
}

}  // namespace authoring
