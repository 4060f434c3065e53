// Reading a Program Manager group record: the header, the item offsets table, item
// records, strings, icon locations and the tag list. The record comes from the
// registry and is not trusted: every read is checked against its size, and a part
// that does not lie whole inside it reads as absent. Pure code; the UTF-16 to ANSI
// conversion is handed in (catalog/code_page.h).
#pragma once

#include "catalog/code_page.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A converted string fits a 256-byte buffer with its terminator.
constexpr size_t kMaxStringBytes = 255;
// Only the first 256 units of a string are looked at and converted, however long it is.
// Each unit gives at least one byte, except where two make one character (a surrogate
// pair): a long run of those keeps fewer bytes.
constexpr size_t kMaxStringUnits = kMaxStringBytes + 1;

// Header fields and their offsets.
constexpr uint32_t kHeaderSegmentSize = 0x04;
constexpr uint32_t kHeaderLeft = 0x08;
constexpr uint32_t kHeaderTop = 0x0C;
constexpr uint32_t kHeaderName = 0x24;
constexpr uint32_t kHeaderItemCount = 0x30;
constexpr uint32_t kHeaderItemTable = 0x38;

// Item record fields.
constexpr uint32_t kItemX = 0x00;
constexpr uint32_t kItemY = 0x04;
constexpr uint32_t kItemIcon = 0x10;
constexpr uint32_t kItemTitle = 0x14;
constexpr uint32_t kItemCommand = 0x18;
constexpr uint32_t kItemRecordSize = 0x20;

// Tags follow the group segment after 16 unread bytes.
constexpr uint32_t kTagListGap = 16;
constexpr uint32_t kTagId = 0x00;
constexpr uint32_t kTagItem = 0x04;
constexpr uint32_t kTagSize = 0x08;
constexpr uint32_t kTagHeaderSize = 0x0C;
constexpr uint16_t kTagEnd = 0xFFFF;
constexpr uint16_t kTagNoItem = 0xFFFF;
constexpr uint16_t kTagDirectory = 0x8101;
constexpr uint16_t kTagMinimize = 0x8103;

// Icons are 32 x 32 device-independent bitmaps with a 1-bit mask.
constexpr uint32_t kIconSize = 32;
constexpr uint32_t kIconMaskBytes = 128;
constexpr uint32_t kIconHeaderPlanes = 0x0C;
constexpr uint32_t kIconHeaderBits = 0x0E;
// Deeper icons have no colour table of the size the format computes; they are not drawn.
constexpr uint32_t kMaxIconBitsPerPixel = 8;

struct GroupHeader {
    uint32_t segmentSize = 0;
    uint16_t left = 0;
    uint16_t top = 0;
    uint32_t nameOffset = 0;
    uint16_t itemCount = 0;

    // (top << 16) | left, both unsigned: a window off the left edge sorts after the others.
    uint32_t PositionKey() const { return (static_cast<uint32_t>(top) << 16) | left; }
};

struct ItemRecord {
    int32_t x = 0;
    int32_t y = 0;
    uint32_t iconOffset = 0;
    uint32_t titleOffset = 0;
    uint32_t commandOffset = 0;
};

struct IconLocation {
    uint32_t info = 0;  // bitmap information header
    uint32_t bits = 0;  // colour image
    uint32_t mask = 0;  // 1-bit mask
    uint16_t planes = 0;
    uint16_t bitCount = 0;
};

struct Tag {
    uint16_t id = 0;
    uint16_t item = 0;
    const uint8_t* data = nullptr;  // inside the record
    size_t dataSize = 0;
};

class GroupRecord {
public:
    GroupRecord(const uint8_t* data, size_t size, const CodePage& codec);

    size_t Size() const { return m_size; }
    const uint8_t* Data() const { return m_data; }

    // False when the record is too short for its header or its item offsets table.
    bool ReadHeader(GroupHeader& header) const;
    // The offset in a slot of the item offsets table; false when outside the record.
    bool ReadItemSlot(const GroupHeader& header, uint16_t slot, uint32_t& offset) const;
    // False when the 32 bytes of the item record are not inside the record.
    bool ReadItem(uint32_t offset, ItemRecord& item) const;
    // A string at an offset, converted; false when it or its terminator lies outside.
    // Only the first kMaxStringUnits units are read, whatever the string's length.
    // *exact (when given) tells whether the code page held every character.
    bool ReadString(uint32_t offset, std::string& text, bool* exact = nullptr) const;
    // A string inside a tag's data; false when it has no terminator there.
    bool ReadTagString(const Tag& tag, std::string& text, bool* exact = nullptr) const;
    // Where the parts of an icon lie; false unless header, colour table, image and
    // mask all lie inside the record and the icon has 1 to 8 bits per pixel.
    bool LocateIcon(uint32_t iconOffset, IconLocation& icon) const;

    // Walks the tag list, calling visit for each tag before the end tag. The walk stops
    // at the end tag, or at a tag that is not whole inside the record or has a size
    // shorter than its own header, or where the 16-bit running offset would wrap. Returns
    // true when the list ended with its end tag.
    template <class Visit>
    bool WalkTags(const GroupHeader& header, Visit&& visit) const
    {
        uint32_t running = 0;
        Tag tag;
        for (;;) {
            const TagStep step = NextTag(header, running, tag);
            if (step != TagStep::Tag)
                return step == TagStep::End;
            visit(static_cast<const Tag&>(tag));
        }
    }

    bool ReadU16(uint64_t offset, uint16_t& value) const;
    bool ReadU32(uint64_t offset, uint32_t& value) const;
    // True when [offset, offset + length) lies inside the record.
    bool Contains(uint64_t offset, uint64_t length) const;

private:
    enum class TagStep { Tag, End, Damaged };
    // The tag at the running offset, which it moves past it; End at the end tag (or with no
    // tag list), Damaged where the walk stops early.
    TagStep NextTag(const GroupHeader& header, uint32_t& running, Tag& tag) const;
    bool Convert(const uint8_t* units, size_t count, std::string& text, bool* exact) const;

    const uint8_t* m_data;
    size_t m_size;
    const CodePage& m_codec;
    // Offset of the last 0 unit at an even and at an odd offset, or m_size when there
    // is none: a string has its terminator inside the record exactly when this lies at
    // or after it, which is known without walking the string to its end.
    size_t m_lastZeroUnit[2];
};
