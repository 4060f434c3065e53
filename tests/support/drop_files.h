// A drop handle as the shell hands one to a drop target: a DROPFILES block with the file
// names after it, for tests and the outside-in probe to drop files with.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace testing_support {

// A moveable block holding the names at `point` (client coordinates, or the non-client
// area when `nonClient`); null when there is no memory for it.
HGLOBAL MakeDropFiles(POINT point, BOOL nonClient, const std::vector<std::string>& files);
// The same with the names in UTF-16, as today's shell hands them.
HGLOBAL MakeDropFiles(POINT point, BOOL nonClient, const std::vector<std::wstring>& files);

}  // namespace testing_support
