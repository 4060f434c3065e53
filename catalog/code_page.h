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
    // a long string is handed over as its first kMaxStringUnits units only.
    std::function<std::string(const char16_t* units, size_t count)> fromWide;
};

// Length of the character that starts at text[i]: 2 for a lead byte with a trail byte
// after it, else 1 (a lead byte at the very end stands alone).
size_t CharLength(const std::string& text, size_t i, const CodePage& codePage);

// True when the last character of the text (a double-byte character counts as one) is a
// backslash.
bool EndsWithBackslash(const std::string& text, const CodePage& codePage);

// The system's ANSI code page (Windows builds: catalog/platform_code_page.cpp).
const CodePage& PlatformCodePage();
