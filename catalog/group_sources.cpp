#include "catalog/group_sources.h"

#include "app/launch_app.h"
#include "catalog/group_lists.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr char kMachineRoot = 'L';
constexpr char kUserRoot = 'U';
constexpr DWORD kNameBufferSize = 256;
// Enumeration indexes are 16-bit; a key that never reports its end is not walked forever.
constexpr DWORD kMaxGroupsPerSource = 0xFFFF;

struct GroupSource {
    HKEY root;
    const char* path;
    char letter;
};

const GroupSource kGroupSources[] = {
    {HKEY_LOCAL_MACHINE, "SOFTWARE\\Program Groups", kMachineRoot},
    {HKEY_CURRENT_USER, "UNICODE Program Groups", kUserRoot},
    {HKEY_CURRENT_USER, "Program Groups", kUserRoot},
};

// True when every character of the system code page is one byte.
bool SingleByteCodePage()
{
    static const bool single = [] {
        CPINFO info = {};
        return GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1;
    }();
    return single;
}

std::string WideToAnsi(const char16_t* units, size_t count)
{
    // A string arrives with its terminator or as its first kMaxStringUnits units; more
    // would only be converted to be thrown away.
    const auto* wide = reinterpret_cast<const wchar_t*>(units);
    const int length = static_cast<int>(std::min(count, kMaxStringUnits));
    if (length == 0)
        return std::string();
    // No code page takes more than 4 bytes for a unit; one byte more for the terminator.
    char buffer[4 * kMaxStringUnits + 1];
    const int written =
        WideCharToMultiByte(CP_ACP, WC_COMPOSITECHECK, wide, length, buffer, sizeof buffer - 1, nullptr, nullptr);
    if (written <= 0)
        return std::string();
    buffer[written] = '\0';
    const size_t size = std::strlen(buffer);
    if (size <= kMaxStringBytes)
        return std::string(buffer, size);
    if (SingleByteCodePage())
        return std::string(buffer, kMaxStringBytes);
    // Keep what fits, ending on a whole character.
    size_t kept = 0;
    for (const char* p = buffer; *p;) {
        const char* next = CharNextA(p);
        size_t end = static_cast<size_t>(next - buffer);
        if (end > kMaxStringBytes || next == p)
            break;
        kept = end;
        p = next;
    }
    return std::string(buffer, kept);
}

bool EndsWithBackslash(const std::string& text)
{
    const char* last = nullptr;
    for (const char* p = text.c_str(); *p; p = CharNextA(p))
        last = p;
    return last && *last == '\\' && last[1] == '\0';
}

}  // namespace

const AnsiCodec& PlatformCodec()
{
    static const AnsiCodec codec{WideToAnsi, EndsWithBackslash};
    return codec;
}

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

uint16_t CProgramGroup::Load(const std::string& source, uint16_t flags)
{
    if (source.empty())
        return 1;
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> record = ReadGroupRecord(source, &size);
    if (!record || size == 0)
        return 1;
    GroupLists lists;
    if (CLaunchApp* app = LaunchApp())
        lists = {&app->m_groupNames, &app->m_groupPositions};
    return LoadFromRecord(source, record.get(), size, flags, PlatformCodec(), lists);
}

uint16_t CLaunchApp::LoadGroups()
{
    m_group.RemoveAllItems();
    m_groupNames.clear();
    m_groupSources.clear();
    m_groupPositions.clear();

    for (const GroupSource& src : kGroupSources) {
        for (DWORD index = 0; index < kMaxGroupsPerSource; ++index) {
            // Opened anew for every index, as the keys may change while they are read.
            HKEY key = nullptr;
            if (RegOpenKeyExA(src.root, src.path, 0, KEY_READ, &key) != ERROR_SUCCESS)
                break;
            char name[kNameBufferSize] = {};
            DWORD length = kNameBufferSize;
            LONG result = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            RegCloseKey(key);
            if (result == ERROR_NO_MORE_ITEMS)
                break;
            // Any other failure leaves no usable name: that index is passed over.
            if (result != ERROR_SUCCESS)
                continue;
            std::string source = std::string(1, src.letter) + src.path + "\\" + name;
            if (m_group.Load(source, LOAD_LIST) == 0)
                m_groupSources.push_back(source);
        }
    }

    SortGroupLists(m_groupSources, m_groupNames, m_groupPositions);
    m_nGroup = ClampGroupIndex(m_nGroup, m_groupSources.size());
    if (!m_groupSources.empty())
        m_group.Load(m_groupSources[static_cast<size_t>(m_nGroup)], LOAD_ITEMS);
    return 0;
}
