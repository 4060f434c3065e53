// Files read and written whole: the tool's exported group records, and the files its
// tests lay out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace authoring {

// The whole file, when it holds at most maxBytes; false when larger or unreadable.
bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>& data, uint64_t maxBytes);
// Writes the bytes as the whole file. A file that could not be written whole is deleted,
// so that no half-written file is left where a whole one is expected.
bool WriteWholeFile(const std::wstring& path, const void* data, size_t size);

}  // namespace authoring
