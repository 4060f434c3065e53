// Where the Program Manager keeps its groups in the registry, and reading one record.
#pragma once

#include "catalog/group_record.h"

#include <cstdint>
#include <memory>
#include <string>

// The record named by a source string ("L" + a key path under HKEY_LOCAL_MACHINE, any
// other first character for HKEY_CURRENT_USER): the key's default value. No buffer and
// a size of 0 when it cannot be read.
std::unique_ptr<uint8_t[]> ReadGroupRecord(const std::string& source, uint32_t* pSize);

// The system's ANSI code page, for decoding group records.
const AnsiCodec& PlatformCodec();
