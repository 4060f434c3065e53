// Code pages for host tests. HostCodec: ASCII as itself, a handful of characters as
// double-byte pairs with Shift-JIS-like lead bytes (0x81-0x9F, 0xE0-0xFC), everything
// else '?' (not exact). Two of the pairs end in 0x5C, the code of '\', which is what
// makes double-byte paths tricky. HostUtf8Codec: UTF-8, as a process with that code page
// has it, converted whole (the decoder cuts). Pure code.
#pragma once

#include "catalog/group_record.h"

namespace testing_support {

// U+8868 and U+80FD encode as 0x95 0x5C and 0x94 0x5C: a trail byte equal to '\'.
constexpr char16_t kTrailBackslashChar = u'\u8868';
constexpr char16_t kTrailBackslashChar2 = u'\u80FD';
// U+30A2 encodes as 0x83 0x41: an ordinary pair.
constexpr char16_t kPlainDoubleByteChar = u'\u30A2';

CodePage HostCodec();
CodePage HostUtf8Codec();

}  // namespace testing_support
