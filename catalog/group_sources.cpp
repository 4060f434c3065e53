#include "catalog/group_sources.h"

#include <new>

namespace {

constexpr char kMachineRoot = 'L';
constexpr char kUserRoot = 'U';
constexpr DWORD kNameBufferSize = 256;
// Enumeration indexes are 16-bit; a key that never reports its end is not walked forever.
constexpr DWORD kMaxGroupsPerSource = 0xFFFF;

}  // namespace

const GroupsKey kGroupsKeys[kGroupsKeyCount] = {
    {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "SOFTWARE\\Program Groups", kMachineRoot},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "UNICODE Program Groups", kUserRoot},
    {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "Program Groups", kUserRoot},
};

std::unique_ptr<uint8_t[]> ReadGroupRecord(const std::string& source, uint32_t* pSize)
{
    if (!pSize || source.empty())
        return nullptr;
    *pSize = 0;
    HKEY root = source[0] == kMachineRoot ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, source.c_str() + 1, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return nullptr;
    DWORD size = 0;
    if (RegQueryValueExA(key, nullptr, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0) {
        RegCloseKey(key);
        return nullptr;
    }
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[size]);
    if (!buffer) {
        RegCloseKey(key);
        return nullptr;
    }
    DWORD read = size;
    LONG result = RegQueryValueExA(key, nullptr, nullptr, nullptr, buffer.get(), &read);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || read == 0)
        return nullptr;
    // The value may have shrunk between the two queries; only what was read counts.
    *pSize = read;
    return buffer;
}

uint16_t CProgramGroup::Load(const std::string& source, uint16_t flags, const GroupLists& lists)
{
    if (source.empty())
        return 1;
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> record = ReadGroupRecord(source, &size);
    if (!record || size == 0)
        return 1;
    return LoadFromRecord(source, record.get(), size, flags, PlatformCodePage(), lists);
}

void ListGroups(CProgramGroup& scratch, std::vector<std::string>& sources, const GroupLists& lists)
{
    for (const GroupsKey& groups : kGroupsKeys) {
        for (DWORD index = 0; index < kMaxGroupsPerSource; ++index) {
            // Opened anew for every index, as the keys may change while they are read.
            HKEY key = nullptr;
            if (RegOpenKeyExA(groups.root, groups.path, 0, KEY_READ, &key) != ERROR_SUCCESS)
                break;
            // Wide, as the group tool writes them: the ANSI call would hand over a name the
            // code page lacks a character of as another name, perhaps another group's.
            wchar_t name[kNameBufferSize] = {};
            DWORD length = kNameBufferSize;
            LONG result = RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(key);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            // Any other failure, or a name that does not convert exactly, leaves no usable
            // name: that index is passed over.
            std::string ansi;
            if (result != ERROR_SUCCESS || !AnsiFromWide(name, length, ansi))
                continue;
            std::string source = std::string(1, groups.letter) + groups.path + "\\" + ansi;
            if (scratch.Load(source, LOAD_LIST, lists) == 0)
                sources.push_back(source);
        }
    }
}
