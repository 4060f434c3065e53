// The ANSI code page as the pure text rules see it: group record decoding (UTF-16 text
// converted to it) and the command-line rules (its lead bytes and the lower case of its
// double-byte characters). The platform supplies the system's code page; host tests
// supply their own. Pure code.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct CodePage {
    // True when this byte begins a double-byte character.
    std::function<bool(unsigned char byte)> isLeadByte;
    // The lower case of one double-byte character (two bytes); none leaves such
    // characters as they are.
    std::function<std::string(const std::string& pair)> lowerDoubleByte;
    // UTF-16 units, `count` of them, to at most kMaxStringBytes bytes of text, cut at a
    // whole character. The units end with the terminating 0 when the string is short;
    // a long string is handed over as its first kMaxStringUnits units only. `exact` is
    // set false when a character has no equal in the code page and a stand-in took its
    // place: the text is then another one.
    std::function<std::string(const char16_t* units, size_t count, bool& exact)> fromWide;
    // UTF-8 (65001): characters of one to four bytes, and no lead bytes in the
    // double-byte sense. No ASCII byte occurs inside a character, so searching for '\',
    // '.', ' ' or '"' byte by byte is safe; only cutting must mind the characters.
    bool utf8 = false;
};

// Length of the character that starts at text[i]: the bytes of a UTF-8 sequence that
// are there, 2 for a lead byte with a trail byte after it, else 1 (a lead byte at the
// very end stands alone).
size_t CharLength(const std::string& text, size_t i, const CodePage& codePage);

// The length of the longest start of the text, at most `limit` bytes, that ends on a
// whole character.
size_t WholePrefix(const std::string& text, size_t limit, const CodePage& codePage);

// True when the last character of the text (a double-byte character counts as one) is a
// backslash.
bool EndsWithBackslash(const std::string& text, const CodePage& codePage);

// The system's ANSI code page (Windows builds: catalog/platform_code_page.cpp).
const CodePage& PlatformCodePage();

// Windows builds: the wide text in the system's code page; false when a character has no
// equal there (the text would be another one), or the text is not valid UTF-16.
bool AnsiFromWide(const wchar_t* text, size_t length, std::string& ansi);
