#include "tests/support/drop_files.h"

#include <shlobj.h>

#include <algorithm>

namespace testing_support {

namespace {

template <typename Char>
HGLOBAL MakeDrop(POINT point, BOOL nonClient, const std::vector<std::basic_string<Char>>& files)
{
    // Room for a second terminating null: Wine's DragQueryFile steps over the first one
    // even when the list is empty, and would read whatever follows.
    size_t size = sizeof(DROPFILES) + 2 * sizeof(Char);
    for (const std::basic_string<Char>& file : files)
        size += (file.size() + 1) * sizeof(Char);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory)
        return nullptr;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->pt = point;
    drop->fNC = nonClient;
    drop->fWide = sizeof(Char) > 1;
    Char* name = reinterpret_cast<Char*>(drop + 1);
    for (const std::basic_string<Char>& file : files) {
        std::copy(file.begin(), file.end(), name);
        name += file.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

HGLOBAL MakeDropFiles(POINT point, BOOL nonClient, const std::vector<std::string>& files)
{
    return MakeDrop(point, nonClient, files);
}

HGLOBAL MakeDropFiles(POINT point, BOOL nonClient, const std::vector<std::wstring>& files)
{
    return MakeDrop(point, nonClient, files);
}

}  // namespace testing_support
