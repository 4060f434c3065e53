#include "catalog/group_record.h"

GroupRecord::GroupRecord(const uint8_t* data, size_t size, const CodePage& codec)
    : m_data(data), m_size(data ? size : 0), m_codec(codec), m_lastZeroUnit{m_size, m_size}
{
    // From the end: one pass over the record at most, usually a few bytes.
    size_t found = 0;
    for (size_t at = m_size; at >= 2 && found < 2; --at) {
        const size_t unit = at - 2;
        if (m_data[unit] == 0 && m_data[unit + 1] == 0 && m_lastZeroUnit[unit % 2] == m_size) {
            m_lastZeroUnit[unit % 2] = unit;
            ++found;
        }
    }
}

bool GroupRecord::Contains(uint64_t offset, uint64_t length) const
{
    return offset <= m_size && length <= m_size - offset;
}

bool GroupRecord::ReadU16(uint64_t offset, uint16_t& value) const
{
    if (!Contains(offset, 2))
        return false;
    value = static_cast<uint16_t>(m_data[offset] | (m_data[offset + 1] << 8));
    return true;
}

bool GroupRecord::ReadU32(uint64_t offset, uint32_t& value) const
{
    if (!Contains(offset, 4))
        return false;
    value = static_cast<uint32_t>(m_data[offset]) | (static_cast<uint32_t>(m_data[offset + 1]) << 8) |
            (static_cast<uint32_t>(m_data[offset + 2]) << 16) | (static_cast<uint32_t>(m_data[offset + 3]) << 24);
    return true;
}

bool GroupRecord::ReadHeader(GroupHeader& header) const
{
    GroupHeader h;
    if (!Contains(0, kHeaderItemTable) || !ReadU32(kHeaderSegmentSize, h.segmentSize) ||
        !ReadU16(kHeaderLeft, h.left) || !ReadU16(kHeaderTop, h.top) || !ReadU32(kHeaderName, h.nameOffset) ||
        !ReadU16(kHeaderItemCount, h.itemCount))
        return false;
    if (!Contains(kHeaderItemTable, uint64_t{4} * h.itemCount))
        return false;
    header = h;
    return true;
}

bool GroupRecord::ReadItemSlot(const GroupHeader& header, uint16_t slot, uint32_t& offset) const
{
    if (slot >= header.itemCount)
        return false;
    return ReadU32(kHeaderItemTable + uint64_t{4} * slot, offset);
}

bool GroupRecord::ReadItem(uint32_t offset, ItemRecord& item) const
{
    if (!Contains(offset, kItemRecordSize))
        return false;
    uint32_t x = 0, y = 0;
    ReadU32(offset + uint64_t{kItemX}, x);
    ReadU32(offset + uint64_t{kItemY}, y);
    item.x = static_cast<int32_t>(x);
    item.y = static_cast<int32_t>(y);
    ReadU32(offset + uint64_t{kItemIcon}, item.iconOffset);
    ReadU32(offset + uint64_t{kItemTitle}, item.titleOffset);
    ReadU32(offset + uint64_t{kItemCommand}, item.commandOffset);
    return true;
}

bool GroupRecord::Convert(const uint8_t* units, size_t count, std::string& text, bool* exact) const
{
    // Copy the units out: the record gives no alignment for a char16_t view.
    char16_t wide[kMaxStringUnits];
    count = count < kMaxStringUnits ? count : kMaxStringUnits;
    for (size_t i = 0; i < count; ++i)
        wide[i] = static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8));
    bool whole = true;
    text = m_codec.fromWide ? m_codec.fromWide(wide, count, whole) : std::string();
    text.resize(WholePrefix(text, kMaxStringBytes, m_codec));
    if (exact)
        *exact = whole;
    return true;
}

// The units to convert from [begin, begin + bytes): up to and including the terminator
// when it is among the first kMaxStringUnits, else those units; 0 when the bytes end first.
static size_t UnitsToConvert(const uint8_t* begin, size_t bytes)
{
    const size_t units = bytes / 2;
    for (size_t i = 0; i < units && i < kMaxStringUnits; ++i) {
        if (begin[2 * i] == 0 && begin[2 * i + 1] == 0)
            return i + 1;
    }
    return units >= kMaxStringUnits ? kMaxStringUnits : 0;
}

bool GroupRecord::ReadString(uint32_t offset, std::string& text, bool* exact) const
{
    if (!Contains(offset, 2) || m_lastZeroUnit[offset % 2] == m_size || m_lastZeroUnit[offset % 2] < offset)
        return false;
    const size_t count = UnitsToConvert(m_data + offset, m_size - offset);
    return count != 0 && Convert(m_data + offset, count, text, exact);
}

bool GroupRecord::ReadTagString(const Tag& tag, std::string& text, bool* exact) const
{
    if (!tag.data)
        return false;
    // Tags do not overlap and their list is at most 64 KB, so looking for the
    // terminator through each tag's data keeps the whole walk linear.
    bool terminated = false;
    for (size_t i = 0; i + 1 < tag.dataSize && !terminated; i += 2)
        terminated = tag.data[i] == 0 && tag.data[i + 1] == 0;
    const size_t count = terminated ? UnitsToConvert(tag.data, tag.dataSize) : 0;
    return count != 0 && Convert(tag.data, count, text, exact);
}

bool GroupRecord::LocateIcon(uint32_t iconOffset, IconLocation& icon) const
{
    uint32_t headerSize = 0;
    uint16_t planes = 0, bitCount = 0;
    if (!ReadU32(iconOffset, headerSize) || !ReadU16(iconOffset + uint64_t{kIconHeaderPlanes}, planes) ||
        !ReadU16(iconOffset + uint64_t{kIconHeaderBits}, bitCount))
        return false;
    // The header is handed to the platform whole, so it must at least hold what is read from it.
    if (headerSize < kIconHeaderBits + 2)
        return false;
    uint32_t depth = static_cast<uint32_t>(planes) * bitCount;
    if (depth == 0 || depth > kMaxIconBitsPerPixel)
        return false;
    uint64_t colourTable = uint64_t{4} << depth;
    uint64_t bits = uint64_t{iconOffset} + headerSize + colourTable;
    uint64_t imageBytes = uint64_t{128} * depth;
    uint64_t mask = bits + imageBytes;
    if (!Contains(iconOffset, mask + kIconMaskBytes - iconOffset))
        return false;
    icon.info = iconOffset;
    icon.bits = static_cast<uint32_t>(bits);
    icon.mask = static_cast<uint32_t>(mask);
    icon.planes = planes;
    icon.bitCount = bitCount;
    return true;
}

GroupRecord::TagStep GroupRecord::NextTag(const GroupHeader& header, uint32_t& running, Tag& tag) const
{
    if (header.segmentSize == m_size)
        return TagStep::End;
    // The running offset is 16 bits wide; a list that would need it to wrap is damaged.
    if (running > 0xFFFF)
        return TagStep::Damaged;
    const uint64_t at = uint64_t{header.segmentSize} + kTagListGap + running;
    uint16_t size = 0;
    if (!Contains(at, kTagHeaderSize) || !ReadU16(at + kTagItem, tag.item) || !ReadU16(at + kTagId, tag.id))
        return TagStep::Damaged;
    if (tag.id == kTagEnd)
        return TagStep::End;
    ReadU16(at + kTagSize, size);
    if (size < kTagHeaderSize || !Contains(at, size))
        return TagStep::Damaged;
    tag.data = m_data + at + kTagHeaderSize;
    tag.dataSize = size - kTagHeaderSize;
    running += size;
    return TagStep::Tag;
}
