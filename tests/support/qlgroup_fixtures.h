// Helpers for the tests of qlgroup.exe under Wine: running the tool, making shortcut
// files through the shell's link object, icon files, and reading stored groups back.
#pragma once

#include "tests/support/group_record_builder.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

struct ToolRun {
    DWORD exitCode = 0xFFFFFFFF;
    std::string out, err;  // UTF-8
};

// The tool: $QLGROUP_EXE, a Unix path, seen through Wine's Z: drive.
std::string QlgroupPath();
// Runs the tool with these arguments (each quoted) and waits for it.
ToolRun RunQlgroup(const std::vector<std::wstring>& arguments);

struct ShortcutFields {
    std::wstring target, arguments, directory, iconFile;
    int iconIndex = 0;
    int showCommand = SW_SHOWNORMAL;
    int shellItem = -1;  // CSIDL of a shell item to link to instead of the target
};
// Writes a shortcut file through IShellLinkW and IPersistFile; false on failure.
bool MakeShortcut(const std::wstring& path, const ShortcutFields& shortcut);
// Writes an installer's (advertised) shortcut for the packed product, feature and
// component descriptor, as an installer leaves it; the link object cannot write one.
bool MakeAdvertisedShortcut(const std::wstring& path, const std::wstring& descriptor);
// Writes a file holding these bytes.
bool WriteBytes(const std::wstring& path, const std::string& bytes);
// Creates every folder of a path.
bool MakeFolders(const std::wstring& path);
// Deletes a folder and everything in it.
void DeleteFolder(const std::wstring& path);

// An icon file holding one 32 x 32 icon of 4 bits per pixel, from the builder's picture.
bool WriteIconFile(const std::wstring& path, const IconImage& icon);

// The stored record of a group, or empty.
std::vector<uint8_t> StoredRecord(HKEY root, const std::wstring& path, const std::wstring& name);

}  // namespace testing_support
