// Writes Program Manager group records: the encoder counterpart of catalog/group_record.
// Tests use it to make well-formed records and, by patching the bytes at the offsets
// that Build reports, broken ones; the demo-group tool uses it to fill the registry.
// Pure C++ (no <windows.h>). The field offsets are spelled out here from the record
// format rather than taken from the decoder's constants, so that a wrong constant in
// the decoder shows up in the tests instead of being shared by both sides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A colour as 0x00RRGGBB; written into a colour table as blue, green, red, 0.
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b)
{
    return (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) | b;
}

// A 32 x 32 picture of palette indices, top row first: pixels[y][x].
using IconPixels = std::array<std::array<uint8_t, 32>, 32>;
// A 32 x 32 mask, top row first; bit 31 of a row is its leftmost pixel. 1 = transparent
// (the background shows), 0 = the colour image shows.
using IconMask = std::array<uint32_t, 32>;

constexpr IconMask OpaqueMask() { return IconMask{}; }
IconMask TransparentMask();

// An icon as the record stores it: a bitmap information header of headerSize bytes
// (a BITMAPINFOHEADER for a bottom-up 32 x 32 image, zero-padded beyond its 40 bytes),
// then the colour table, the colour image and the 1-bit mask, each bottom row first.
struct IconImage {
    uint32_t headerSize = 40;
    uint16_t planes = 1;
    uint16_t bitCount = 4;
    std::vector<uint32_t> palette;  // 0x00RRGGBB entries, written as they are
    std::vector<uint8_t> bits;      // the colour image as stored
    std::array<uint8_t, 128> mask{};  // as stored: rows of 4 bytes, bottom row first
};

// A well-formed 1-plane icon of 1, 4 or 8 bits per pixel from a picture and a mask. The
// palette is padded with black to its full 2^bitCount entries.
IconImage IconFromPixels(uint16_t bitCount, std::vector<uint32_t> palette, const IconPixels& pixels,
                         const IconMask& mask);
// Every pixel in one colour, fully opaque.
IconImage SolidIcon(uint16_t bitCount, uint32_t colour);
// The top-left 16 x 16 quarter in one colour and the rest in another, so that a picture
// drawn upside down or mirrored is told apart from the right one.
IconImage QuarterIcon(uint16_t bitCount, uint32_t topLeft, uint32_t rest, const IconMask& mask);
// An icon of any plane and bit count with a zeroed image and a transparent mask; the
// colour table has 2^(planes x bits) entries when that is at most 256, else none.
IconImage BlankIcon(uint16_t planes, uint16_t bitCount);

// The palette index of pixel (x, y), counted from the top row, of a 1-plane icon.
uint8_t PixelIndex(const IconImage& icon, int x, int y);
// True when pixel (x, y), counted from the top row, is transparent in the mask.
bool MaskTransparent(const IconImage& icon, int x, int y);

struct GroupItem {
    std::u16string title;
    std::u16string command;
    int32_t x = 0;
    int32_t y = 0;
    std::optional<IconImage> icon;  // none: the icon offset is 0
};

// Where Build put each part; all offsets from the first byte of the record, 0 = absent.
struct IconLayout {
    uint32_t info = 0;
    uint32_t colourTable = 0;
    uint32_t bits = 0;
    uint32_t mask = 0;
    uint32_t end = 0;  // one past the mask
};

struct ItemLayout {
    uint32_t record = 0;
    uint32_t title = 0;
    uint32_t command = 0;
    IconLayout icon;
};

struct RecordLayout {
    uint32_t segmentSize = 0;  // as built; written at 0x04 unless SegmentSizeField says otherwise
    uint32_t name = 0;
    uint32_t table = 0;
    std::vector<uint32_t> slots;    // offset of each slot of the item offsets table
    std::vector<ItemLayout> items;  // in the order the items were added
    uint32_t tagList = 0;           // 0 when the record carries no tags
    std::vector<uint32_t> tags;     // each added tag, in order
    uint32_t endTag = 0;            // 0 when there is none
};

class GroupRecordBuilder {
public:
    // Unread header fields and item record fields are filled with this byte (default
    // 0), so a test can show that the decoder leaves them alone.
    explicit GroupRecordBuilder(std::u16string name = u"Group", uint8_t filler = 0);

    GroupRecordBuilder& Position(uint16_t left, uint16_t top);
    // Adds an item and a slot pointing at it; returns the item's index among the items.
    size_t AddItem(GroupItem item);
    size_t AddItem(std::u16string title, std::u16string command, int32_t x = 0, int32_t y = 0);
    // A slot holding 0.
    GroupRecordBuilder& AddEmptySlot();

    // Tags, written in the order added. The item index counts built items (empty slots
    // do not count); 0xFFFF names no item.
    GroupRecordBuilder& DirectoryTag(uint16_t item, const std::u16string& directory);
    GroupRecordBuilder& MinimizeTag(uint16_t item);
    // Any tag; declaredSize replaces the size field (12 + data size) without changing
    // how many bytes are written, for tags that lie about their size.
    GroupRecordBuilder& RawTag(uint16_t id, uint16_t item, std::vector<uint8_t> data,
                               std::optional<uint16_t> declaredSize = std::nullopt);
    // A tag list even without tags: just the 16 unread bytes and the end tag.
    GroupRecordBuilder& WithTagList();
    GroupRecordBuilder& WithoutEndTag();
    // The bytes between the group segment and the tag list (default all 0xFF, so that a
    // tag list read from the wrong place ends at once).
    GroupRecordBuilder& TagListGap(uint8_t fill);
    GroupRecordBuilder& ItemCountField(uint16_t count);   // overrides the slot count
    GroupRecordBuilder& SegmentSizeField(uint32_t size);  // overrides the real size

    std::vector<uint8_t> Build(RecordLayout* layout = nullptr) const;

private:
    struct PendingTag {
        uint16_t id;
        uint16_t item;
        std::vector<uint8_t> data;
        std::optional<uint16_t> declaredSize;
    };

    std::u16string m_name;
    uint8_t m_filler;
    uint16_t m_left = 0;
    uint16_t m_top = 0;
    std::vector<std::optional<GroupItem>> m_slots;  // nullopt: an empty slot
    std::vector<PendingTag> m_tags;
    bool m_tagList = false;
    bool m_endTag = true;
    uint8_t m_gapFill = 0xFF;
    std::optional<uint16_t> m_itemCount;
    std::optional<uint32_t> m_segmentSize;
};

// UTF-16 little-endian bytes of a text, with its 0 terminator unless told otherwise.
std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool terminated = true);

// Little-endian patching. False (and nothing written) when the field is not whole inside.
bool PutU16(std::vector<uint8_t>& record, size_t offset, uint16_t value);
bool PutU32(std::vector<uint8_t>& record, size_t offset, uint32_t value);
uint16_t GetU16(const std::vector<uint8_t>& record, size_t offset);  // 0 when outside
uint32_t GetU32(const std::vector<uint8_t>& record, size_t offset);

// Appends a text without its terminator as the very last bytes of a record without tags
// and grows the group segment over it; returns its offset. A string pointed there runs
// off the end of the record.
uint32_t AppendUnterminatedString(std::vector<uint8_t>& record, const std::u16string& text);

// A well-formed record whose 65,535 item slots all point at one item with an icon and a
// title of titleUnits characters: cheap to store, costly to a decoder that reads whole
// strings or compares every pair of items, and a full bar of buttons.
std::vector<uint8_t> OneItemInEverySlotRecord(size_t titleUnits = 40000);

}  // namespace testing_support
