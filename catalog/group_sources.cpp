#include "catalog/group_sources.h"

#include <winternl.h>

#include <new>

namespace {

constexpr char kMachineRoot = 'L';
constexpr char kUserRoot = 'U';
constexpr DWORD kNameBufferSize = 256;
// Enumeration indexes are 16-bit; a key that never reports its end is not walked forever.
constexpr DWORD kMaxGroupsPerSource = 0xFFFF;
// The group list reads this much of each record first: the header, the item table of up
// to two hundred items and the name that follows it, which is all it takes from a record.
constexpr ULONG kListReadBytes = 1024;
// Room for a group of fifty items with 256-colour icons: such a record is read in one
// query. A longer one reports its size and is read again with room for it.
constexpr DWORD kFirstReadBytes = 128 * 1024;

// A buffer that a run of reads shares, grown to the longest record met.
struct ReadBuffer {
    std::unique_ptr<uint8_t[]> data;
    DWORD capacity = 0;

    bool Reserve(DWORD size)
    {
        if (size <= capacity)
            return true;
        data.reset(new (std::nothrow) uint8_t[size]);
        capacity = data ? size : 0;
        return data != nullptr;
    }
};

// The default value of an open key, read whole into the buffer: its size, with `data`
// where it lies, or 0 when it is empty or cannot be read. A round trip to the registry is
// most of what a read costs, so the value is not measured first.
DWORD ReadDefaultValue(HKEY key, ReadBuffer& buffer, const uint8_t*& data)
{
    data = nullptr;
    DWORD wanted = kFirstReadBytes;
    // The value may grow between two queries; a few tries, then it counts as unreadable.
    for (int attempt = 0; attempt < 4 && buffer.Reserve(wanted); ++attempt) {
        DWORD size = buffer.capacity;
        const LONG result = RegQueryValueExA(key, nullptr, nullptr, nullptr, buffer.data.get(), &size);
        if (result == ERROR_SUCCESS) {
            data = buffer.data.get();
            return size;
        }
        if (result != ERROR_MORE_DATA || size <= buffer.capacity)
            return 0;
        wanted = size;
    }
    return 0;
}

// ntdll's query of a value (documented with the kernel's ZwQueryValueKey): unlike the
// registry API's, it hands over the start of a value too long for the buffer, with
// STATUS_BUFFER_OVERFLOW and the value's whole length. Looked up rather than imported:
// an import of ntdll costs the executable more than the look-up.
struct ValueStart {
    ULONG titleIndex;
    ULONG type;
    ULONG dataLength;
    uint8_t data[kListReadBytes];
};
constexpr int kKeyValuePartialInformation = 2;
constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005);

using QueryValueKeyFunction = LONG(NTAPI*)(HANDLE key, UNICODE_STRING* name, int informationClass,
                                           void* information, ULONG length, ULONG* resultLength);

// The start of an open key's default value, as much as the list reads of a record, into
// the buffer: its length, with `data` where it lies; 0 when it cannot be read, or when it
// is text, which the ANSI read converts.
size_t ReadValueStart(QueryValueKeyFunction query, HKEY key, ReadBuffer& buffer, const uint8_t*& data)
{
    UNICODE_STRING defaultValue = {0, 0, nullptr};
    ULONG length = 0;
    if (!query || !buffer.Reserve(sizeof(ValueStart)))
        return 0;
    auto* start = reinterpret_cast<ValueStart*>(buffer.data.get());
    const LONG status = query(key, &defaultValue, kKeyValuePartialInformation, start, sizeof(ValueStart), &length);
    if ((status != 0 && status != kStatusBufferOverflow) || start->type == REG_SZ || start->type == REG_EXPAND_SZ ||
        start->type == REG_MULTI_SZ)
        return 0;
    data = start->data;
    return start->dataLength < kListReadBytes ? start->dataLength : kListReadBytes;
}

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
    ReadBuffer buffer;
    const uint8_t* data = nullptr;
    const DWORD size = ReadDefaultValue(key, buffer, data);
    RegCloseKey(key);
    if (size == 0)
        return nullptr;
    *pSize = size;
    return std::move(buffer.data);
}

void ListGroups(CProgramGroup& scratch, std::vector<std::string>& sources, const GroupLists& lists)
{
    // A record is read whole, into one buffer, only when its start does not serve.
    ReadBuffer buffer;
    const auto queryValueKey = reinterpret_cast<QueryValueKeyFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryValueKey")));
    for (const GroupsKey& groups : kGroupsKeys) {
        std::string source(1, groups.letter);
        source += groups.path;
        source += '\\';
        const size_t prefix = source.size();
        // One handle serves the walk; the subkeys are opened through it.
        HKEY parent = nullptr;
        if (RegOpenKeyExA(groups.root, groups.path, 0, KEY_READ, &parent) != ERROR_SUCCESS)
            continue;
        for (DWORD index = 0; index < kMaxGroupsPerSource; ++index) {
            // Wide, as the group tool writes them: the ANSI call would hand over a name the
            // code page lacks a character of as another name, perhaps another group's.
            wchar_t name[kNameBufferSize];
            DWORD length = kNameBufferSize;
            const LONG result = RegEnumKeyExW(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            if (result != ERROR_SUCCESS) {
                // That index is passed over. The key may have been deleted or replaced while
                // it was read: the walk goes on in the key there is now, or ends with it.
                RegCloseKey(parent);
                parent = nullptr;
                if (RegOpenKeyExA(groups.root, groups.path, 0, KEY_READ, &parent) != ERROR_SUCCESS)
                    break;
                continue;
            }
            // A name that does not convert exactly leaves no usable source: passed over.
            std::string ansi;
            HKEY key = nullptr;
            if (!AnsiFromWide(name, length, ansi) || RegOpenKeyExW(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
                continue;
            source.resize(prefix);
            source += ansi;
            // The record's start serves when it holds all that the list takes from a record: a
            // record passes these checks on its start only if it passes them whole, with the
            // same name and position. Otherwise the whole record decides.
            bool listed = false;
            for (int whole = 0; whole < 2 && !listed; ++whole) {
                const uint8_t* data = nullptr;
                const size_t size = whole ? ReadDefaultValue(key, buffer, data)
                                          : ReadValueStart(queryValueKey, key, buffer, data);
                listed = size != 0 &&
                         scratch.LoadFromRecord(source, data, size, LOAD_LIST, PlatformCodePage(), lists) == 0;
            }
            RegCloseKey(key);
            if (listed)
                sources.push_back(source);
        }
        if (parent)
            RegCloseKey(parent);
    }
}
