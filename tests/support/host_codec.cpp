#include "tests/support/host_codec.h"

#include <cstddef>
#include <string>

namespace testing_support {

namespace {

struct DoubleByte {
    char16_t unit;
    unsigned char lead;
    unsigned char trail;
};

constexpr DoubleByte kDoubleBytes[] = {
    {kTrailBackslashChar, 0x95, 0x5C},
    {kTrailBackslashChar2, 0x94, 0x5C},
    {kPlainDoubleByteChar, 0x83, 0x41},
};

bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string FromWide(const char16_t* units, size_t count, bool& exact)
{
    exact = true;
    std::string text;
    for (size_t i = 0; i < count && units[i] != 0; ++i) {
        char bytes[2] = {'?', 0};
        size_t length = 1;
        if (units[i] < 0x80) {
            bytes[0] = static_cast<char>(units[i]);
        } else {
            for (const DoubleByte& pair : kDoubleBytes) {
                if (pair.unit == units[i]) {
                    bytes[0] = static_cast<char>(pair.lead);
                    bytes[1] = static_cast<char>(pair.trail);
                    length = 2;
                }
            }
            exact = exact && length == 2;
        }
        // Like a 256-byte destination: never half a character, never more than 255 bytes.
        if (text.size() + length > kMaxStringBytes)
            break;
        text.append(bytes, length);
    }
    return text;
}

// UTF-16 to UTF-8, whole: the cut is the decoder's. A lone surrogate becomes U+FFFD.
std::string FromWideUtf8(const char16_t* units, size_t count, bool& exact)
{
    exact = true;
    std::string text;
    for (size_t i = 0; i < count && units[i] != 0; ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
        else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
            exact = false;
        }
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xF0 | (c >> 18));
            text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

}  // namespace

CodePage HostUtf8Codec()
{
    CodePage codec;
    codec.fromWide = FromWideUtf8;
    codec.utf8 = true;
    return codec;
}

CodePage HostCodec()
{
    CodePage codec;
    codec.fromWide = FromWide;
    codec.isLeadByte = IsLeadByte;
    return codec;
}

}  // namespace testing_support
