// qlgroup: makes, imports, exports and inspects the program groups that the launcher
// reads, where no Program Manager is left to make them. Exit status: 0 done, 1 refused
// input (with a message naming what is wrong), 2 usage.
#include "authoring/console.h"
#include "authoring/group_edit.h"
#include "authoring/icon_extract.h"
#include "authoring/startmenu.h"
#include "authoring/whole_file.h"
#include "catalog/group_lists.h"
#include "catalog/group_sources.h"
#include "catalog/program_group.h"
#include "res/qlgroup_resource.h"

#include <windows.h>
#include <shellapi.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

using namespace authoring;

namespace {

// Larger files are no group record the registry would hold.
constexpr DWORD kMaxRecordFile = 64 * 1024 * 1024;

struct Arguments {
    std::vector<std::wstring> words;  // the command and its operands
    std::map<std::wstring, std::wstring> values;
    bool common = false;
    bool replace = false;
    bool dryRun = false;
    bool minimized = false;
};

// False on an unknown option or one without its value.
bool ParseArguments(int argc, wchar_t** argv, Arguments& out)
{
    for (int i = 1; i < argc; ++i) {
        const std::wstring word = argv[i];
        if (word == L"--common") {
            out.common = true;
        } else if (word == L"--replace") {
            out.replace = true;
        } else if (word == L"--dry-run") {
            out.dryRun = true;
        } else if (word == L"--minimized") {
            out.minimized = true;
        } else if (word == L"--title" || word == L"--command" || word == L"--dir" || word == L"--icon") {
            if (i + 1 >= argc || out.values.count(word))
                return false;
            out.values[word] = argv[++i];
        } else if (word.size() > 1 && word[0] == L'-' && word[1] == L'-') {
            return false;
        } else {
            out.words.push_back(word);
        }
    }
    return !out.words.empty();
}

int Usage()
{
    Complain(IDS_QG_USAGE);
    return kUsage;
}

// An option's value; empty when it was not given.
std::wstring ValueOf(const Arguments& args, const wchar_t* option)
{
    const auto found = args.values.find(option);
    return found == args.values.end() ? std::wstring() : found->second;
}

// Where a command works, and on which group: the place that --common chooses and the
// first operand. False (a usage mistake) unless the command has `words` words in all.
struct Target {
    GroupPlace place;
    std::wstring name;
};

bool TargetOf(const Arguments& args, size_t words, Target& target)
{
    if (args.words.size() != words)
        return false;
    target = {args.common ? CommonGroups() : UserGroups(), args.words[1]};
    return true;
}

// Says what was done when it was; the status either way.
int SayWhenDone(int status, UINT id, std::initializer_list<std::wstring> args)
{
    if (status == kDone)
        Say(id, args);
    return status;
}

// A name a new group may take here: one the launcher can read back, and not that of a
// group already there unless --replace says so. kRefused after saying why not.
int CheckNewName(const Arguments& args, const Target& target)
{
    if (!Representable(target.name))
        return kRefused;
    if (!UsableName(target.name)) {
        Complain(IDS_QG_NAME_BAD, {target.name});
        return kRefused;
    }
    if (GroupExists(target.place, target.name) && !args.replace) {
        Complain(IDS_QG_GROUP_EXISTS, {target.name});
        return kRefused;
    }
    return kDone;
}

std::wstring YesNo(bool yes)
{
    return Text(yes ? IDS_QG_YES : IDS_QG_NO);
}

// Decodes a record as the launcher does; 1 when the launcher refuses it.
uint16_t Decode(const std::vector<uint8_t>& record, CProgramGroup& group, uint32_t& position)
{
    std::vector<std::string> names;
    std::vector<uint32_t> positions;
    if (record.empty() || group.LoadFromRecord("U", record.data(), record.size(), LOAD_ITEMS | LOAD_LIST,
                                               PlatformCodePage(), GroupLists{&names, &positions}) != 0)
        return 1;
    position = positions[0];
    return 0;
}

// Reads a stored group and decodes it as the launcher would; 0, or the exit code of
// a report of why not.
int ReadStoredGroup(const GroupPlace& place, const std::wstring& key, std::vector<uint8_t>& record,
                    CProgramGroup& group, uint32_t& position)
{
    const StoreResult read = ReadRecord(place, key, record);
    if (read.status != StoreStatus::Ok)
        return ReportStore(read, place, key);
    if (Decode(record, group, position) != 0) {
        Complain(IDS_QG_GROUP_REFUSED, {key, Text(record.empty() ? IDS_QG_WHY_UNREADABLE : IDS_QG_WHY_HEADER)});
        return kRefused;
    }
    return 0;
}

int List()
{
    struct Entry {
        std::wstring source;
        std::wstring name;
        uint32_t position = 0;
        size_t items = 0;
        size_t skipped = 0;
        bool tagsDamaged = false;
    };
    std::vector<Entry> entries;
    std::vector<std::string> order, names;
    std::vector<uint32_t> positions;
    for (const GroupPlace& place : LauncherPlaces()) {
        for (const std::wstring& key : GroupKeys(place)) {
            const std::wstring source = place.label + L"\\" + key;
            std::vector<uint8_t> record;
            CProgramGroup group;
            uint32_t position = 0;
            // The launcher passes over a key whose name it could only read as another.
            std::string ansi;
            if (!AnsiFromWide(key.data(), key.size(), ansi)) {
                Say(IDS_QG_LIST_REFUSED, {source, Text(IDS_QG_WHY_KEY_NAME)});
                continue;
            }
            if (ReadRecord(place, key, record).status != StoreStatus::Ok || record.empty()) {
                Say(IDS_QG_LIST_REFUSED, {source, Text(IDS_QG_WHY_UNREADABLE)});
                continue;
            }
            if (Decode(record, group, position) != 0) {
                Say(IDS_QG_LIST_REFUSED, {source, Text(IDS_QG_WHY_HEADER)});
                continue;
            }
            Entry entry{source, FromAnsi(group.m_strName), position, group.m_items.size(), 0, false};
            GroupRecord reader(record.data(), record.size(), PlatformCodePage());
            GroupHeader header;
            reader.ReadHeader(header);
            size_t used = 0;
            for (uint16_t slot = 0; slot < header.itemCount; ++slot) {
                uint32_t offset = 0;
                used += reader.ReadItemSlot(header, slot, offset) && offset != 0 ? 1 : 0;
            }
            entry.skipped = used - entry.items;
            entry.tagsDamaged = !reader.WalkTags(header, [](const Tag&) {});
            // Sorted as the launcher sorts its lists: the first list carries the entry.
            order.push_back(std::to_string(entries.size()));
            names.push_back(std::string());
            positions.push_back(position);
            entries.push_back(entry);
        }
    }
    SortGroupLists(order, names, positions);
    for (const std::string& index : order) {
        const Entry& entry = entries[std::stoul(index)];
        Say(IDS_QG_LIST_LINE,
            {entry.source, entry.name, std::to_wstring(entry.position), std::to_wstring(entry.items)});
        if (entry.skipped != 0)
            Say(IDS_QG_LIST_SKIPPED, {entry.source, std::to_wstring(entry.skipped)});
        if (entry.tagsDamaged)
            Say(IDS_QG_LIST_TAGS, {entry.source});
    }
    return kDone;
}

int Show(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 2, target))
        return Usage();
    std::vector<uint8_t> record;
    CProgramGroup group;
    uint32_t position = 0;
    if (const int refused = ReadStoredGroup(target.place, target.name, record, group, position))
        return refused;
    Say(IDS_QG_SHOW_GROUP,
        {FromAnsi(group.m_strName), target.place.label + L"\\" + target.name, std::to_wstring(position)});
    for (const auto& item : group.m_items) {
        Say(IDS_QG_SHOW_ITEM, {FromAnsi(item->m_strTitle), FromAnsi(item->m_strCommand),
                               item->m_strDirectory.empty() ? Text(IDS_QG_NONE) : FromAnsi(item->m_strDirectory),
                               YesNo(item->m_bMinimized != 0), YesNo(item->m_nIconInfo != 0)});
    }
    return kDone;
}

int Add(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 2, target))
        return Usage();
    if (CheckNewName(args, target) != kDone)
        return kRefused;
    return SayWhenDone(StoreGroup(target.place, target.name, NewGroup(target.name)), IDS_QG_ADDED, {target.name});
}

int Remove(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 2, target))
        return Usage();
    if (!GroupExists(target.place, target.name)) {
        Complain(IDS_QG_NO_GROUP, {target.name});
        return kRefused;
    }
    return SayWhenDone(ReportStore(DeleteGroup(target.place, target.name), target.place, target.name),
                       IDS_QG_REMOVED, {target.name});
}

bool FileExists(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The program a command line starts, found as the system finds it: a quoted path, else
// the shortest run of words that names a file, else a name on the search path.
std::wstring ProgramOf(const std::wstring& command)
{
    if (!command.empty() && command[0] == L'"') {
        const size_t close = command.find(L'"', 1);
        return close == std::wstring::npos ? std::wstring() : command.substr(1, close - 1);
    }
    for (size_t end = command.find(L' '); ; end = command.find(L' ', end + 1)) {
        const std::wstring candidate = command.substr(0, end);
        wchar_t found[MAX_PATH * 4];
        const DWORD size = sizeof found / sizeof found[0];
        const DWORD length = SearchPathW(nullptr, candidate.c_str(), L".exe", size, found, nullptr);
        if (length > 0 && length < size && FileExists(found))
            return found;
        if (end == std::wstring::npos)
            return std::wstring();
    }
}

int AddItem(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 2, target) || !args.values.count(L"--title") || !args.values.count(L"--command"))
        return Usage();
    const std::wstring& name = target.name;
    const std::wstring title = ValueOf(args, L"--title");
    const std::wstring command = ValueOf(args, L"--command");
    const std::wstring directory = ValueOf(args, L"--dir");
    if (!Representable(title) || !Representable(command) || !Representable(directory))
        return kRefused;
    if (!FitsRecord(title)) {
        Complain(IDS_QG_TITLE_BAD, {title});
        return kRefused;
    }
    if (!FitsRecord(command)) {
        Complain(command.empty() ? IDS_QG_COMMAND_EMPTY : IDS_QG_COMMAND_TOO_LONG, {title});
        return kRefused;
    }
    const std::wstring program = ProgramOf(command);
    if (program.empty()) {
        Complain(IDS_QG_PROGRAM_MISSING, {command});
        return kRefused;
    }

    WrittenGroup group;
    if (LoadGroup(target.place, name, group) != kDone)
        return kRefused;
    for (const WrittenItem& other : group.items) {
        if (other.title == ToU16(title)) {
            Complain(IDS_QG_TITLE_EXISTS, {name, title});
            return kRefused;
        }
    }
    WrittenItem item;
    item.title = ToU16(title);
    const WriteResult composed = ComposeCommand(ToU16(command), ToU16(directory), item.command);
    if (!composed.ok()) {
        WrittenGroup one;
        one.items.push_back(item);
        return ReportWrite(composed, one, directory);
    }
    item.minimized = args.minimized;
    std::wstring iconFile = program;
    int iconIndex = 0;
    if (args.values.count(L"--icon"))
        SplitIconLocation(ValueOf(args, L"--icon"), iconFile, iconIndex);
    item.icon = IconFromFile(iconFile, iconIndex);
    if (!item.icon)
        Complain(IDS_QG_NO_ICON, {title, iconFile});
    PlaceAtEnd(group, item);
    group.items.push_back(std::move(item));
    return SayWhenDone(StoreGroup(target.place, name, group), IDS_QG_ITEM_ADDED, {name, title});
}

int RemoveItem(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 3, target))
        return Usage();
    const std::wstring& name = target.name;
    const std::wstring& title = args.words[2];
    WrittenGroup group;
    if (LoadGroup(target.place, name, group) != kDone)
        return kRefused;
    for (auto it = group.items.begin(); it != group.items.end(); ++it) {
        if (it->title == ToU16(title)) {
            group.items.erase(it);
            return SayWhenDone(StoreGroup(target.place, name, group), IDS_QG_ITEM_REMOVED, {name, title});
        }
    }
    Complain(IDS_QG_NO_ITEM, {name, title});
    return kRefused;
}

int Export(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 3, target))
        return Usage();
    const std::wstring& name = target.name;
    const std::wstring& file = args.words[2];
    std::vector<uint8_t> record;
    CProgramGroup group;
    uint32_t position = 0;
    if (const int refused = ReadStoredGroup(target.place, name, record, group, position))
        return refused;
    // The record as it is stored, byte for byte.
    if (!WriteWholeFile(file, record.data(), record.size())) {
        Complain(IDS_QG_FILE_WRITE, {file});
        return kRefused;
    }
    Say(IDS_QG_EXPORTED, {name, file});
    return kDone;
}

int Import(const Arguments& args)
{
    Target target;
    if (!TargetOf(args, 2, target))
        return Usage();
    const std::wstring file = target.name;
    std::vector<uint8_t> record;
    if (!ReadWholeFile(file, record, kMaxRecordFile)) {
        Complain(IDS_QG_FILE_READ, {file});
        return kRefused;
    }
    CProgramGroup decoded;
    uint32_t position = 0;
    WrittenGroup group;
    if (Decode(record, decoded, position) != 0 || !ReadGroupForWriting(record.data(), record.size(), group)) {
        Complain(IDS_QG_FILE_REFUSED, {file, Text(record.empty() ? IDS_QG_WHY_UNREADABLE : IDS_QG_WHY_HEADER)});
        return kRefused;
    }
    // The group keeps the name it was exported with.
    target.name = ToWide(group.name);
    if (!Representable(group) || CheckNewName(args, target) != kDone)
        return kRefused;
    return SayWhenDone(ReportStore(WriteRecord(target.place, target.name, record), target.place, target.name),
                       IDS_QG_IMPORTED, {target.name});
}

int ListCommand(const Arguments& args)
{
    return args.words.size() == 1 ? List() : Usage();
}

int ImportStartMenuCommand(const Arguments& args)
{
    if (args.words.size() != 1)
        return Usage();
    return ImportStartMenu(StartMenuOptions{args.common, args.dryRun, args.replace});
}

struct Command {
    const wchar_t* word;
    int (*run)(const Arguments& args);
};

const Command kCommands[] = {
    {L"list", ListCommand},     {L"show", Show},           {L"add", Add},       {L"remove", Remove},
    {L"add-item", AddItem},     {L"remove-item", RemoveItem}, {L"export", Export}, {L"import", Import},
    {L"import-startmenu", ImportStartMenuCommand},
};

int Run(const Arguments& args)
{
    for (const Command& command : kCommands) {
        if (args.words[0] == command.word)
            return command.run(args);
    }
    return Usage();
}

}  // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return kUsage;
    Arguments args;
    const int status = ParseArguments(argc, argv, args) ? Run(args) : Usage();
    LocalFree(argv);
    return status;
}
