// Where the Program Manager keeps its groups in the registry, reading one record, and
// listing every group there is.
#pragma once

#include "catalog/program_group.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A registry key whose subkeys are groups. A group's source string is the key's root
// letter, its path, "\" and the subkey's name.
struct GroupsKey {
    HKEY root;
    const char* rootName;  // for messages: "HKEY_LOCAL_MACHINE" or "HKEY_CURRENT_USER"
    const char* path;
    char letter;
};

// The keys the launcher reads, in its order: the machine's groups, then the current
// user's UNICODE groups, then the user's older ones.
constexpr size_t kGroupsKeyCount = 3;
extern const GroupsKey kGroupsKeys[kGroupsKeyCount];
constexpr size_t kCommonGroupsKey = 0;  // HKEY_LOCAL_MACHINE "SOFTWARE\Program Groups"
constexpr size_t kUserGroupsKey = 1;    // HKEY_CURRENT_USER "UNICODE Program Groups"

// The record named by a source string ("L" + a key path under HKEY_LOCAL_MACHINE, any
// other first character for HKEY_CURRENT_USER): the key's default value. No buffer and
// a size of 0 when it cannot be read.
std::unique_ptr<uint8_t[]> ReadGroupRecord(const std::string& source, uint32_t* pSize);

// Appends every group of every key whose record the launcher accepts: its source to
// `sources`, its name and position key to `lists`, in the order found. `scratch` decodes
// them; its items are left as they were.
void ListGroups(CProgramGroup& scratch, std::vector<std::string>& sources, const GroupLists& lists);
