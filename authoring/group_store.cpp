#include "authoring/group_store.h"

#include "catalog/group_sources.h"

#include <algorithm>
#include <string>

namespace authoring {

namespace {

StoreResult FromError(LONG error)
{
    if (error == ERROR_SUCCESS)
        return {};
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
        return {StoreStatus::Missing, error};
    if (error == ERROR_ACCESS_DENIED)
        return {StoreStatus::Denied, error};
    return {StoreStatus::Failed, error};
}

std::wstring KeyPath(const GroupPlace& place, const std::wstring& key)
{
    return place.path + L"\\" + key;
}

// The key names are plain ASCII.
std::wstring Widened(const char* text)
{
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

GroupPlace PlaceOf(const GroupsKey& groups)
{
    const std::wstring path = Widened(groups.path);
    return {groups.root, path, Widened(groups.rootName) + L"\\" + path, groups.letter};
}

}  // namespace

GroupPlace UserGroups()
{
    return PlaceOf(kGroupsKeys[kUserGroupsKey]);
}

GroupPlace CommonGroups()
{
    return PlaceOf(kGroupsKeys[kCommonGroupsKey]);
}

std::vector<GroupPlace> LauncherPlaces()
{
    std::vector<GroupPlace> places;
    for (const GroupsKey& groups : kGroupsKeys)
        places.push_back(PlaceOf(groups));
    return places;
}

std::vector<std::wstring> GroupKeys(const GroupPlace& place)
{
    std::vector<std::wstring> keys;
    HKEY key = nullptr;
    if (RegOpenKeyExW(place.root, place.path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return keys;
    for (DWORD index = 0; index < 0xFFFF; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result == ERROR_SUCCESS)
            keys.emplace_back(name, length);
    }
    RegCloseKey(key);
    return keys;
}

StoreResult ReadRecord(const GroupPlace& place, const std::wstring& name, std::vector<uint8_t>& record)
{
    HKEY key = nullptr;
    StoreResult result = FromError(RegOpenKeyExW(place.root, KeyPath(place, name).c_str(), 0, KEY_READ, &key));
    if (result.status != StoreStatus::Ok)
        return result;
    DWORD size = 0;
    LONG error = RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size);
    std::vector<uint8_t> data(size);
    if (error == ERROR_SUCCESS && size > 0)
        error = RegQueryValueExW(key, nullptr, nullptr, nullptr, data.data(), &size);
    RegCloseKey(key);
    if (error != ERROR_SUCCESS)
        return FromError(error);
    data.resize(size);
    record = std::move(data);
    return {};
}

StoreResult WriteRecord(const GroupPlace& place, const std::wstring& name, const std::vector<uint8_t>& record)
{
    HKEY key = nullptr;
    StoreResult result = FromError(RegCreateKeyExW(place.root, KeyPath(place, name).c_str(), 0, nullptr, 0,
                                                   KEY_WRITE, nullptr, &key, nullptr));
    if (result.status != StoreStatus::Ok)
        return result;
    const LONG error =
        RegSetValueExW(key, nullptr, 0, REG_BINARY, record.data(), static_cast<DWORD>(record.size()));
    RegCloseKey(key);
    return FromError(error);
}

StoreResult DeleteGroup(const GroupPlace& place, const std::wstring& name)
{
    HKEY key = nullptr;
    StoreResult result = FromError(RegOpenKeyExW(place.root, place.path.c_str(), 0, KEY_ALL_ACCESS, &key));
    if (result.status != StoreStatus::Ok)
        return result;
    const LONG error = RegDeleteTreeW(key, name.c_str());
    RegCloseKey(key);
    return FromError(error);
}

bool GroupExists(const GroupPlace& place, const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(place.root, KeyPath(place, name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

uint32_t NextPositionKey()
{
    bool any = false;
    uint32_t last = 0;
    for (const GroupPlace& place : LauncherPlaces()) {
        for (const std::wstring& name : GroupKeys(place)) {
            std::vector<uint8_t> record;
            if (ReadRecord(place, name, record).status != StoreStatus::Ok || record.empty())
                continue;
            CProgramGroup group;
            std::vector<std::string> names;
            std::vector<uint32_t> positions;
            if (group.LoadFromRecord("U", record.data(), record.size(), LOAD_LIST, PlatformCodePage(),
                                     GroupLists{&names, &positions}) == 0 &&
                !positions.empty()) {
                last = any ? std::max(last, positions[0]) : positions[0];
                any = true;
            }
        }
    }
    if (!any)
        return 0;
    // The launcher orders by top, then left: the next key in number is the next place.
    return last == UINT32_MAX ? last : last + 1;
}

}  // namespace authoring
