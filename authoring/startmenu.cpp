#include "authoring/startmenu.h"

#include "authoring/console.h"
#include "authoring/group_edit.h"
#include "authoring/icon_extract.h"
#include "res/qlgroup_resource.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace authoring {

namespace {

const wchar_t kLinkExtension[] = L".lnk";

// A shortcut as the shell reads it.
struct Shortcut {
    std::wstring title;
    std::wstring target;
    std::wstring arguments;
    std::wstring directory;
    std::wstring iconFile;
    int iconIndex = 0;
    int showCommand = SW_SHOWNORMAL;
};

struct Folder {
    std::wstring name;
    std::vector<std::wstring> links;  // full paths, sub-folders included
};

bool IsLink(const std::wstring& name)
{
    const size_t length = sizeof kLinkExtension / sizeof kLinkExtension[0] - 1;
    return name.size() > length && _wcsicmp(name.c_str() + name.size() - length, kLinkExtension) == 0;
}

// The entries of a folder, sorted by name so that the result does not depend on the file
// system's order. False when the folder cannot be read.
bool ListFolder(const std::wstring& folder, std::vector<std::wstring>& folders, std::vector<std::wstring>& links)
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
        else if (IsLink(name))
            links.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(folders.begin(), folders.end());
    std::sort(links.begin(), links.end());
    return true;
}

// Every shortcut below a folder, its own first, then each sub-folder's in turn.
void CollectLinks(const std::wstring& path, std::vector<std::wstring>& links, int& failures, int depth = 0)
{
    std::vector<std::wstring> folders, names;
    if (!ListFolder(path, folders, names)) {
        Complain(IDS_QG_SM_SKIPPED, {path, Text(IDS_QG_SM_FOLDER_UNREADABLE)});
        ++failures;
        return;
    }
    for (const std::wstring& name : names)
        links.push_back(path + L"\\" + name);
    // Reparse points could lead back up; a sane Start Menu is never this deep.
    if (depth >= 32)
        return;
    for (const std::wstring& name : folders)
        CollectLinks(path + L"\\" + name, links, failures, depth + 1);
}

std::wstring Expanded(const std::wstring& text)
{
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, sizeof buffer / sizeof buffer[0]);
    return length > 0 && length <= sizeof buffer / sizeof buffer[0] ? std::wstring(buffer) : text;
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
        if (SUCCEEDED(link->GetPath(text, size, nullptr, SLGP_RAWPATH)))
            out.target = Expanded(text);
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

std::wstring TitleOf(const std::wstring& path)
{
    const size_t slash = path.rfind(L'\\');
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    return name.substr(0, name.size() - (sizeof kLinkExtension / sizeof kLinkExtension[0] - 1));
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

// The item of one shortcut; false (reported) when it cannot be one.
bool ItemFromShortcut(const std::wstring& path, WrittenItem& item)
{
    Shortcut link;
    link.title = TitleOf(path);
    if (!ReadShortcut(path, link)) {
        Complain(IDS_QG_SM_SKIPPED, {path, Text(IDS_QG_SM_LINK_UNREADABLE)});
        return false;
    }
    if (link.target.empty()) {
        Complain(IDS_QG_SM_SKIPPED, {path, Text(IDS_QG_SM_NO_TARGET)});
        return false;
    }
    if (!Representable(link.title))
        return false;
    if (!FitsRecord(link.title)) {
        Complain(IDS_QG_TITLE_BAD, {link.title});
        return false;
    }
    std::wstring command = link.target.find(L' ') == std::wstring::npos ? link.target : L"\"" + link.target + L"\"";
    if (!link.arguments.empty())
        command += L" " + link.arguments;
    if (!Representable(command))
        return false;
    if (!FitsRecord(command)) {
        Complain(IDS_QG_COMMAND_TOO_LONG, {link.title});
        return false;
    }
    item.title = ToU16(link.title);
    const std::wstring directory = StorableDirectory(link.directory);
    if (!Representable(directory))
        return false;
    if (!ComposeCommand(ToU16(command), ToU16(directory), item.command).ok()) {
        Complain(IDS_QG_SM_NO_DIR, {link.title, link.directory});
        if (!ComposeCommand(ToU16(command), u"", item.command).ok()) {
            Complain(IDS_QG_COMMAND_TOO_LONG, {link.title});
            return false;
        }
    }
    item.minimized = link.showCommand == SW_SHOWMINNOACTIVE || link.showCommand == SW_SHOWMINIMIZED ||
                     link.showCommand == SW_MINIMIZE;
    if (!link.iconFile.empty())
        item.icon = IconFromFile(link.iconFile, link.iconIndex);
    if (!item.icon)
        item.icon = IconFromFile(link.target, 0);
    return true;
}

std::wstring ProgramsFolder(bool common)
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, common ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT,
                                path)))
        return std::wstring();
    return path;
}

// One group: written (or shown, for a dry run); false when it was left out.
bool ImportFolder(const Folder& folder, const StartMenuOptions& options, const GroupPlace& place, int& failures)
{
    if (!Representable(folder.name)) {
        ++failures;
        return false;
    }
    if (!UsableName(folder.name)) {
        Complain(IDS_QG_NAME_BAD, {folder.name});
        ++failures;
        return false;
    }
    const bool exists = GroupExists(place, folder.name);
    if (exists && !options.replace) {
        Complain(IDS_QG_SM_KEPT, {folder.name});
        ++failures;
        return false;
    }
    WrittenGroup group = NewGroup(folder.name);
    WrittenGroup old;
    if (exists && LoadGroup(place, folder.name, old) == kDone) {
        // A replaced group keeps its place among the others.
        group.left = old.left;
        group.top = old.top;
    }
    for (const std::wstring& path : folder.links) {
        WrittenItem item;
        if (!ItemFromShortcut(path, item)) {
            ++failures;
            continue;
        }
        PlaceAtEnd(group, item);
        group.items.push_back(std::move(item));
    }
    Say(IDS_QG_SM_GROUP, {folder.name, std::to_wstring(group.items.size())});
    if (options.dryRun) {
        for (const WrittenItem& item : group.items) {
            std::u16string directory, command;
            ExpandCommand(item.command, directory, command);
            Say(IDS_QG_SM_DRY_RUN, {ToWide(item.title), ToWide(command)});
        }
        return true;
    }
    if (StoreGroup(place, folder.name, group) != kDone) {
        ++failures;
        return false;
    }
    return true;
}

}  // namespace

int ImportStartMenu(const StartMenuOptions& options)
{
    const std::wstring programs = ProgramsFolder(options.common);
    std::vector<std::wstring> folders, links;
    if (programs.empty() || !ListFolder(programs, folders, links)) {
        Complain(IDS_QG_SM_NO_FOLDER);
        return kRefused;
    }
    const bool comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    const GroupPlace place = options.common ? CommonGroups() : UserGroups();
    int failures = 0;

    std::vector<Folder> groups;
    // Shortcuts straight in the programs folder make a group named after it.
    if (!links.empty()) {
        Folder top;
        const size_t slash = programs.rfind(L'\\');
        top.name = slash == std::wstring::npos ? programs : programs.substr(slash + 1);
        for (const std::wstring& name : links)
            top.links.push_back(programs + L"\\" + name);
        groups.push_back(std::move(top));
    }
    for (const std::wstring& name : folders) {
        Folder folder;
        folder.name = name;
        CollectLinks(programs + L"\\" + name, folder.links, failures);
        if (!folder.links.empty())
            groups.push_back(std::move(folder));
    }
    for (const Folder& folder : groups)
        ImportFolder(folder, options, place, failures);

    if (comInitialised)
        CoUninitialize();
    return failures == 0 ? kDone : kRefused;
}

}  // namespace authoring
