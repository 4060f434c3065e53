#include "tests/support/drop_files.h"

#include <shlobj.h>

#include <algorithm>

namespace testing_support {

HGLOBAL MakeDropFiles(POINT point, BOOL nonClient, const std::vector<std::string>& files)
{
    // Room for a second terminating null: Wine's DragQueryFile steps over the first one
    // even when the list is empty, and would read whatever follows.
    size_t size = sizeof(DROPFILES) + 2;
    for (const std::string& file : files)
        size += file.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fNC = nonClient;
    drop->fWide = FALSE;
    char* name = reinterpret_cast<char*>(drop + 1);
    for (const std::string& file : files) {
        std::copy(file.begin(), file.end(), name);
        name += file.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

}  // namespace testing_support
