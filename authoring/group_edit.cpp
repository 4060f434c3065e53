#include "authoring/group_edit.h"

#include "authoring/console.h"
#include "catalog/group_sources.h"
#include "catalog/program_group.h"
#include "res/qlgroup_resource.h"

#include <climits>

namespace authoring {

namespace {

constexpr int32_t kItemSpacing = 75;

}  // namespace

std::u16string ToU16(const std::wstring& text)
{
    return std::u16string(text.begin(), text.end());
}

std::wstring ToWide(const std::u16string& text)
{
    return std::wstring(text.begin(), text.end());
}

bool FitsRecord(const std::wstring& text)
{
    if (text.empty() || text.size() > kMaxWrittenUnits || text.find(L'\0') != std::wstring::npos)
        return false;
    // The launcher keeps 255 bytes of the text in its code page.
    std::string ansi;
    AnsiFromWide(text.data(), text.size(), ansi);
    return !ansi.empty() && ansi.size() <= kMaxStringBytes;
}

bool Representable(const std::wstring& text)
{
    std::string ansi;
    if (AnsiFromWide(text.data(), text.size(), ansi))
        return true;
    Complain(IDS_QG_TEXT_BAD, {text});
    return false;
}

bool Representable(const WrittenGroup& group)
{
    bool all = Representable(ToWide(group.name));
    for (const WrittenItem& item : group.items) {
        all = all && Representable(ToWide(item.title)) && Representable(ToWide(item.command.field));
        for (const std::u16string& directory : item.command.directories)
            all = all && Representable(ToWide(directory));
    }
    return all;
}

bool UsableName(const std::wstring& name)
{
    return FitsRecord(name) && name.find(L'\\') == std::wstring::npos;
}

int ReportStore(const StoreResult& result, const GroupPlace& place, const std::wstring& key)
{
    const std::wstring where = key.empty() ? place.label : place.label + L"\\" + key;
    switch (result.status) {
    case StoreStatus::Ok:
        return kDone;
    case StoreStatus::Missing:
        Complain(IDS_QG_NO_GROUP, {key});
        break;
    case StoreStatus::Denied:
        Complain(place.root == HKEY_LOCAL_MACHINE ? IDS_QG_WRITE_DENIED_COMMON : IDS_QG_WRITE_DENIED, {where});
        break;
    case StoreStatus::Failed:
        Complain(IDS_QG_WRITE_FAILED, {where, std::to_wstring(result.error)});
        break;
    }
    return kRefused;
}

int ReportWrite(const WriteResult& result, const WrittenGroup& group, const std::wstring& detail)
{
    const std::wstring name = ToWide(group.name);
    const std::wstring title =
        result.item < group.items.size() ? ToWide(group.items[result.item].title) : std::wstring(detail);
    switch (result.error) {
    case WriteError::None:
        return kDone;
    case WriteError::NameTooLong:
        Complain(IDS_QG_NAME_BAD, {name});
        break;
    case WriteError::TitleTooLong:
    case WriteError::NulInText:
        Complain(IDS_QG_TITLE_BAD, {title});
        break;
    case WriteError::CommandTooLong:
        Complain(IDS_QG_COMMAND_TOO_LONG, {title});
        break;
    case WriteError::CommandEmpty:
        Complain(IDS_QG_COMMAND_EMPTY, {title});
        break;
    case WriteError::DirectoryUnusable:
        Complain(IDS_QG_DIR_UNUSABLE, {detail});
        break;
    case WriteError::BadIcon:
        Complain(IDS_QG_NO_ICON, {title, detail});
        break;
    case WriteError::TooManyItems:
        Complain(IDS_QG_TOO_MANY_ITEMS, {name});
        break;
    case WriteError::TagsTooLarge:
        Complain(IDS_QG_TAGS_TOO_LARGE, {name});
        break;
    case WriteError::RecordTooLarge:
        Complain(IDS_QG_RECORD_TOO_LARGE, {name});
        break;
    }
    return kRefused;
}

int LoadGroup(const GroupPlace& place, const std::wstring& key, WrittenGroup& group)
{
    std::vector<uint8_t> record;
    const StoreResult read = ReadRecord(place, key, record);
    if (read.status != StoreStatus::Ok)
        return ReportStore(read, place, key);
    if (record.empty()) {
        Complain(IDS_QG_GROUP_REFUSED, {key, Text(IDS_QG_WHY_UNREADABLE)});
        return kRefused;
    }
    if (!ReadGroupForWriting(record.data(), record.size(), group)) {
        Complain(IDS_QG_GROUP_REFUSED, {key, Text(IDS_QG_WHY_HEADER)});
        return kRefused;
    }
    return kDone;
}

int StoreGroup(const GroupPlace& place, const std::wstring& key, const WrittenGroup& group)
{
    std::vector<uint8_t> record;
    const WriteResult written = WriteGroupRecord(group, record);
    if (!written.ok())
        return ReportWrite(written, group, std::wstring());
    return ReportStore(WriteRecord(place, key, record), place, key);
}

WrittenGroup NewGroup(const std::wstring& name)
{
    WrittenGroup group;
    group.name = ToU16(name);
    const uint32_t position = NextPositionKey();
    group.left = static_cast<uint16_t>(position & 0xFFFF);
    group.top = static_cast<uint16_t>(position >> 16);
    return group;
}

void PlaceAtEnd(const WrittenGroup& group, WrittenItem& item)
{
    item.x = 0;
    item.y = 0;
    bool any = false;
    for (const WrittenItem& other : group.items) {
        if (!any || other.y > item.y || (other.y == item.y && other.x >= item.x)) {
            item.y = other.y;
            item.x = other.x;
            any = true;
        }
    }
    if (!any)
        return;
    // At the far right end the new item shares the last place.
    item.x = item.x > INT32_MAX - kItemSpacing ? item.x : item.x + kItemSpacing;
}

}  // namespace authoring
