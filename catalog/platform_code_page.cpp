// The system's ANSI code page: its lead bytes, its lower case of double-byte characters,
// and the conversion of a group record's UTF-16 text to it.
#include "catalog/code_page.h"
#include "catalog/group_record.h"

#include <windows.h>

#include <algorithm>
#include <climits>
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

bool Utf8CodePage()
{
    static const bool utf8 = GetACP() == CP_UTF8;
    return utf8;
}

std::string WideToAnsi(const char16_t* units, size_t count, bool& exact)
{
    // A string arrives with its terminator or as its first kMaxStringUnits units; more
    // would only be converted to be thrown away.
    std::string text;
    exact = AnsiFromWide(reinterpret_cast<const wchar_t*>(units), std::min(count, kMaxStringUnits), text);
    text.resize(std::strlen(text.c_str()));
    text.resize(WholePrefix(text, kMaxStringBytes, PlatformCodePage()));
    return text;
}

}  // namespace

bool AnsiFromWide(const wchar_t* text, size_t length, std::string& ansi)
{
    ansi.clear();
    if (length == 0)
        return true;
    // No best fit: a character without its equal becomes the default character, and is
    // seen. UTF-8 takes no such flags: it has every character, and refuses only broken
    // UTF-16 (a lone surrogate), which it would otherwise replace.
    const int units = static_cast<int>(std::min<size_t>(length, INT_MAX / 4));
    const DWORD flags = Utf8CodePage() ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* used = Utf8CodePage() ? nullptr : &usedDefault;
    ansi.resize(static_cast<size_t>(units) * 4);
    int written = WideCharToMultiByte(CP_ACP, flags, text, units, &ansi[0], units * 4, nullptr, used);
    bool exact = written > 0 && !usedDefault && static_cast<size_t>(units) == length;
    if (written <= 0)
        written = WideCharToMultiByte(CP_ACP, 0, text, units, &ansi[0], units * 4, nullptr, nullptr);
    ansi.resize(written > 0 ? static_cast<size_t>(written) : 0);
    return exact;
}

const CodePage& PlatformCodePage()
{
    static const CodePage codePage = [] {
        CodePage page{IsLeadByte, LowerDoubleByte, WideToAnsi};
        // CharLowerBuffA lowers in place, which a UTF-8 character whose lower case has
        // another length would not survive; such characters keep their case.
        page.utf8 = Utf8CodePage();
        if (page.utf8)
            page.lowerDoubleByte = nullptr;
        // A single-byte code page has no lead bytes: no byte need be asked about.
        CPINFO info = {};
        if (page.utf8 || (GetCPInfo(CP_ACP, &info) && info.MaxCharSize == 1))
            page.isLeadByte = nullptr;
        return page;
    }();
    return codePage;
}
