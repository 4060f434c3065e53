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

std::string FromWide(const char16_t* units, size_t count)
{
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
        }
        // Like a 256-byte destination: never half a character, never more than 255 bytes.
        if (text.size() + length > kMaxStringBytes)
            break;
        text.append(bytes, length);
    }
    return text;
}

}  // namespace

CodePage HostCodec()
{
    CodePage codec;
    codec.fromWide = FromWide;
    codec.isLeadByte = IsLeadByte;
    return codec;
}

}  // namespace testing_support
