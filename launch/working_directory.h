// Where a start runs: the item's working directory, made current together with its
// drive. Pure code; the platform makes the change (launch/launch_platform.h).
#pragma once

#include "launch/command_line.h"

#include <string>

struct DirectoryChange {
    std::string directory;  // empty: the current directory stays
    char drive = 0;         // 'A' to 'Z': make this drive current afterwards; 0: none
};

// A trailing backslash is dropped except after a drive root ("C:\" keeps it). Only a
// path that begins with a drive letter and a colon names a drive to make current.
DirectoryChange WorkingDirectoryChange(const std::string& directory, const CodePage& codePage);
