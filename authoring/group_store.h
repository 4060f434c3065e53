// Where the authoring tool reads and writes group records: the current user's
// "UNICODE Program Groups", or with --common the machine's "SOFTWARE\Program Groups".
// Each group is one subkey whose default value is its record; a record is written with
// one registry call, so a failed write leaves the group as it was.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace authoring {

struct GroupPlace {
    HKEY root;
    std::wstring path;
    std::wstring label;  // for messages: HKEY_... \ path
    char letter;         // the launcher's root letter in a source string
};

GroupPlace UserGroups();
GroupPlace CommonGroups();
// Every place the launcher reads, in its order.
std::vector<GroupPlace> LauncherPlaces();

enum class StoreStatus { Ok, Missing, Denied, Failed };

struct StoreResult {
    StoreStatus status = StoreStatus::Ok;
    LONG error = ERROR_SUCCESS;
};

// Subkey names of a place; none when it does not exist.
std::vector<std::wstring> GroupKeys(const GroupPlace& place);
StoreResult ReadRecord(const GroupPlace& place, const std::wstring& key, std::vector<uint8_t>& record);
StoreResult WriteRecord(const GroupPlace& place, const std::wstring& key, const std::vector<uint8_t>& record);
StoreResult DeleteGroup(const GroupPlace& place, const std::wstring& key);
bool GroupExists(const GroupPlace& place, const std::wstring& key);

// A position key after that of every group the launcher lists now.
uint32_t NextPositionKey();

}  // namespace authoring
