// The steps the authoring tool's commands share: checking names and titles, reading a
// stored group into the writer's form, writing it back, and saying what went wrong.
// Each returns the tool's exit status: 0 done, 1 refused (a message has been written).
#pragma once

#include "authoring/group_store.h"
#include "authoring/group_writer.h"

#include <string>

namespace authoring {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kUsage = 2;

std::u16string ToU16(const std::wstring& text);
std::wstring ToWide(const std::u16string& text);

// True when the system's code page holds every character of the text, so that the
// launcher reads back this text and no other; otherwise says so (IDS_QG_TEXT_BAD).
bool Representable(const std::wstring& text);
// The same for every text a group stores: its name, titles, commands and directories.
bool Representable(const WrittenGroup& group);
// A group name that can be a key name and comes back whole from a record.
bool UsableName(const std::wstring& name);
// A title or command that comes back whole from a record.
bool FitsRecord(const std::wstring& text);

// Reports why a place could not be read or written.
int ReportStore(const StoreResult& result, const GroupPlace& place, const std::wstring& key);
// Reports a write refused by the writer.
int ReportWrite(const WriteResult& result, const WrittenGroup& group, const std::wstring& detail);

// Reads a stored group; refuses one that is missing or that the launcher would refuse.
int LoadGroup(const GroupPlace& place, const std::wstring& key, WrittenGroup& group);
// Writes a group as its record; nothing is stored when the writer refuses it.
int StoreGroup(const GroupPlace& place, const std::wstring& key, const WrittenGroup& group);

// A group's name, position and no items: for a new group, placed after every existing one.
WrittenGroup NewGroup(const std::wstring& name);
// Places an item after the group's last one in the launcher's order.
void PlaceAtEnd(const WrittenGroup& group, WrittenItem& item);

}  // namespace authoring
