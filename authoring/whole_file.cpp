#include "authoring/whole_file.h"

#include <windows.h>

namespace authoring {

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data, uint64_t maxBytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && static_cast<uint64_t>(size.QuadPart) <= maxBytes &&
              size.QuadPart <= MAXDWORD;
    if (ok) {
        data.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = data.empty() || (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) &&
                              read == data.size());
    }
    CloseHandle(file);
    return ok;
}

bool WriteWholeFile(const std::wstring& path, const void* data, size_t size)
{
    if (size > MAXDWORD)
        return false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(file);
    if (!ok)
        DeleteFileW(path.c_str());
    return ok;
}

}  // namespace authoring
