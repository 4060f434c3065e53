// Taking an item's icon from a program or icon file and reducing it to the form a group
// record stores.
#pragma once

#include "authoring/group_writer.h"

#include <optional>
#include <string>

namespace authoring {

// The icon at `index` in an executable, library or icon file; none when there is none.
std::optional<StoredIcon> IconFromFile(const std::wstring& file, int index);
// The icon the shell shows for a file, folder or shortcut (a document's is its type's).
std::optional<StoredIcon> ShellIconOf(const std::wstring& path);

// "FILE[,INDEX]" split into its file and index (0 when not given).
void SplitIconLocation(const std::wstring& location, std::wstring& file, int& index);

}  // namespace authoring
