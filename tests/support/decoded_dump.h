// What the launcher makes of a record, as one text: the group's name and position key,
// then each item in display order with its title, directory, command, minimised flag and
// a checksum of its icon bytes. Two records that dump alike look and start alike.
#pragma once

#include "catalog/group_record.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

std::string DumpDecoded(const uint8_t* data, size_t size, const CodePage& codec);
inline std::string DumpDecoded(const std::vector<uint8_t>& record, const CodePage& codec)
{
    return DumpDecoded(record.data(), record.size(), codec);
}

}  // namespace testing_support
