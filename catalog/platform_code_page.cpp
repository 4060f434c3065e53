// The system's ANSI code page: its lead bytes, its lower case of double-byte characters,
// and the conversion of a group record's UTF-16 text to it.
#include "catalog/code_page.h"
#include "catalog/group_record.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

bool IsLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

std::string LowerDoubleByte(const std::string& pair)
{
    std::string lower = pair;
    CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    return lower;
}

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

}  // namespace

const CodePage& PlatformCodePage()
{
    static const CodePage codePage{IsLeadByte, LowerDoubleByte, WideToAnsi};
    return codePage;
}
