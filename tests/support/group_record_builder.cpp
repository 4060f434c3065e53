#include "tests/support/group_record_builder.h"

#include <utility>

namespace testing_support {

namespace {

// The record format, from the writer's side.
constexpr size_t kHeaderBytes = 0x38;
constexpr size_t kSegmentSizeField = 0x04;
constexpr size_t kLeftField = 0x08;
constexpr size_t kTopField = 0x0C;
constexpr size_t kNameField = 0x24;
constexpr size_t kItemCountField = 0x30;

constexpr size_t kItemBytes = 0x20;
constexpr size_t kItemXField = 0x00;
constexpr size_t kItemYField = 0x04;
constexpr size_t kItemIconField = 0x10;
constexpr size_t kItemTitleField = 0x14;
constexpr size_t kItemCommandField = 0x18;

constexpr size_t kTagGapBytes = 16;
constexpr size_t kTagHeaderBytes = 12;
constexpr uint16_t kEndTagId = 0xFFFF;
constexpr uint16_t kNoItem = 0xFFFF;
constexpr uint16_t kDirectoryTagId = 0x8101;
constexpr uint16_t kMinimizeTagId = 0x8103;

void Append16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Here(const std::vector<uint8_t>& out)
{
    return static_cast<uint32_t>(out.size());
}

void AlignTo4(std::vector<uint8_t>& out, uint8_t filler)
{
    while (out.size() % 4 != 0)
        out.push_back(filler);
}

uint32_t AppendString(std::vector<uint8_t>& out, const std::u16string& text)
{
    uint32_t at = Here(out);
    std::vector<uint8_t> bytes = Utf16Bytes(text);
    out.insert(out.end(), bytes.begin(), bytes.end());
    return at;
}

IconLayout AppendIcon(std::vector<uint8_t>& out, const IconImage& icon)
{
    IconLayout layout;
    layout.info = Here(out);

    std::vector<uint8_t> header;
    Append32(header, icon.headerSize);
    Append32(header, 32);  // width
    Append32(header, 32);  // height: positive, so bottom row first, and no room for the mask
    Append16(header, icon.planes);
    Append16(header, icon.bitCount);
    Append32(header, 0);  // BI_RGB
    Append32(header, 128u * icon.planes * icon.bitCount);
    Append32(header, 0);
    Append32(header, 0);
    Append32(header, 0);
    Append32(header, 0);
    header.resize(icon.headerSize, 0);
    out.insert(out.end(), header.begin(), header.end());

    layout.colourTable = Here(out);
    for (uint32_t entry : icon.palette)
        Append32(out, entry);
    layout.bits = Here(out);
    out.insert(out.end(), icon.bits.begin(), icon.bits.end());
    layout.mask = Here(out);
    out.insert(out.end(), icon.mask.begin(), icon.mask.end());
    layout.end = Here(out);
    return layout;
}

void AppendTag(std::vector<uint8_t>& out, uint16_t id, uint16_t item, uint16_t size, uint8_t filler)
{
    Append16(out, id);
    Append16(out, static_cast<uint16_t>(filler * 0x101));
    Append16(out, item);
    Append16(out, static_cast<uint16_t>(filler * 0x101));
    Append16(out, size);
    Append16(out, static_cast<uint16_t>(filler * 0x101));
}

// Icon rows are stored bottom row first; y counts from the top.
size_t StoredRow(int y) { return static_cast<size_t>(31 - y); }

}  // namespace

IconMask TransparentMask()
{
    IconMask mask;
    mask.fill(0xFFFFFFFFu);
    return mask;
}

IconImage IconFromPixels(uint16_t bitCount, std::vector<uint32_t> palette, const IconPixels& pixels,
                         const IconMask& mask)
{
    if (bitCount == 0 || bitCount > 8)
        return BlankIcon(1, bitCount);
    IconImage icon;
    icon.planes = 1;
    icon.bitCount = bitCount;
    icon.palette = std::move(palette);
    icon.palette.resize(size_t{1} << bitCount, 0);

    const size_t stride = 4u * bitCount;
    icon.bits.assign(32 * stride, 0);
    const unsigned indexMask = (1u << bitCount) - 1;
    for (int y = 0; y < 32; ++y) {
        uint8_t* row = &icon.bits[StoredRow(y) * stride];
        for (int x = 0; x < 32; ++x) {
            const unsigned bitPos = static_cast<unsigned>(x) * bitCount;
            const unsigned shift = 8 - bitCount - bitPos % 8;
            const unsigned index = pixels[y][x] & indexMask;
            row[bitPos / 8] = static_cast<uint8_t>(row[bitPos / 8] | (index << shift));
        }
    }
    for (int y = 0; y < 32; ++y) {
        for (int i = 0; i < 4; ++i)
            icon.mask[StoredRow(y) * 4 + static_cast<size_t>(i)] = static_cast<uint8_t>(mask[y] >> (24 - 8 * i));
    }
    return icon;
}

IconImage SolidIcon(uint16_t bitCount, uint32_t colour)
{
    IconPixels pixels{};
    return IconFromPixels(bitCount, {colour}, pixels, OpaqueMask());
}

IconImage QuarterIcon(uint16_t bitCount, uint32_t topLeft, uint32_t rest, const IconMask& mask)
{
    IconPixels pixels{};
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels[y][x] = 1;
    return IconFromPixels(bitCount, {rest, topLeft}, pixels, mask);
}

IconImage BlankIcon(uint16_t planes, uint16_t bitCount)
{
    IconImage icon;
    icon.planes = planes;
    icon.bitCount = bitCount;
    const unsigned depth = static_cast<unsigned>(planes) * bitCount;
    if (depth <= 8)
        icon.palette.assign(size_t{1} << depth, 0);
    icon.bits.assign(128u * depth, 0);
    icon.mask.fill(0xFF);
    return icon;
}

uint8_t PixelIndex(const IconImage& icon, int x, int y)
{
    const unsigned bitCount = icon.bitCount;
    if (icon.planes != 1 || bitCount == 0 || bitCount > 8 || x < 0 || x > 31 || y < 0 || y > 31)
        return 0;
    const size_t stride = 4u * bitCount;
    const unsigned bitPos = static_cast<unsigned>(x) * bitCount;
    const size_t at = StoredRow(y) * stride + bitPos / 8;
    if (at >= icon.bits.size())
        return 0;
    const unsigned shift = 8 - bitCount - bitPos % 8;
    return static_cast<uint8_t>((icon.bits[at] >> shift) & ((1u << bitCount) - 1));
}

bool MaskTransparent(const IconImage& icon, int x, int y)
{
    if (x < 0 || x > 31 || y < 0 || y > 31)
        return false;
    const uint8_t byte = icon.mask[StoredRow(y) * 4 + static_cast<size_t>(x / 8)];
    return ((byte >> (7 - x % 8)) & 1) != 0;
}

GroupRecordBuilder::GroupRecordBuilder(std::u16string name, uint8_t filler)
    : m_name(std::move(name)), m_filler(filler)
{
}

GroupRecordBuilder& GroupRecordBuilder::Position(uint16_t left, uint16_t top)
{
    m_left = left;
    m_top = top;
    return *this;
}

size_t GroupRecordBuilder::AddItem(GroupItem item)
{
    size_t index = 0;
    for (const auto& slot : m_slots)
        index += slot.has_value() ? 1 : 0;
    m_slots.emplace_back(std::move(item));
    return index;
}

size_t GroupRecordBuilder::AddItem(std::u16string title, std::u16string command, int32_t x, int32_t y)
{
    GroupItem item;
    item.title = std::move(title);
    item.command = std::move(command);
    item.x = x;
    item.y = y;
    return AddItem(std::move(item));
}

GroupRecordBuilder& GroupRecordBuilder::AddEmptySlot()
{
    m_slots.emplace_back(std::nullopt);
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::DirectoryTag(uint16_t item, const std::u16string& directory)
{
    return RawTag(kDirectoryTagId, item, Utf16Bytes(directory));
}

GroupRecordBuilder& GroupRecordBuilder::MinimizeTag(uint16_t item)
{
    return RawTag(kMinimizeTagId, item, {});
}

GroupRecordBuilder& GroupRecordBuilder::RawTag(uint16_t id, uint16_t item, std::vector<uint8_t> data,
                                               std::optional<uint16_t> declaredSize)
{
    m_tags.push_back(PendingTag{id, item, std::move(data), declaredSize});
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::WithTagList()
{
    m_tagList = true;
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::WithoutEndTag()
{
    m_endTag = false;
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::TagListGap(uint8_t fill)
{
    m_gapFill = fill;
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::ItemCountField(uint16_t count)
{
    m_itemCount = count;
    return *this;
}

GroupRecordBuilder& GroupRecordBuilder::SegmentSizeField(uint32_t size)
{
    m_segmentSize = size;
    return *this;
}

std::vector<uint8_t> GroupRecordBuilder::Build(RecordLayout* layoutOut) const
{
    RecordLayout layout;
    std::vector<uint8_t> out(kHeaderBytes, m_filler);

    layout.table = Here(out);
    for (size_t i = 0; i < m_slots.size(); ++i) {
        layout.slots.push_back(Here(out));
        Append32(out, 0);
    }
    layout.name = AppendString(out, m_name);

    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (!m_slots[i])
            continue;
        const GroupItem& item = *m_slots[i];
        ItemLayout itemLayout;
        AlignTo4(out, m_filler);
        itemLayout.record = Here(out);
        out.resize(out.size() + kItemBytes, m_filler);
        itemLayout.title = AppendString(out, item.title);
        itemLayout.command = AppendString(out, item.command);
        if (item.icon) {
            AlignTo4(out, m_filler);
            itemLayout.icon = AppendIcon(out, *item.icon);
        }
        PutU32(out, layout.slots[i], itemLayout.record);
        PutU32(out, itemLayout.record + kItemXField, static_cast<uint32_t>(item.x));
        PutU32(out, itemLayout.record + kItemYField, static_cast<uint32_t>(item.y));
        PutU32(out, itemLayout.record + kItemIconField, itemLayout.icon.info);
        PutU32(out, itemLayout.record + kItemTitleField, itemLayout.title);
        PutU32(out, itemLayout.record + kItemCommandField, itemLayout.command);
        layout.items.push_back(itemLayout);
    }
    AlignTo4(out, m_filler);
    layout.segmentSize = Here(out);

    PutU32(out, kSegmentSizeField, m_segmentSize.value_or(layout.segmentSize));
    PutU16(out, kLeftField, m_left);
    PutU16(out, kTopField, m_top);
    PutU32(out, kNameField, layout.name);
    PutU16(out, kItemCountField, m_itemCount.value_or(static_cast<uint16_t>(m_slots.size())));

    if (!m_tags.empty() || m_tagList) {
        out.resize(out.size() + kTagGapBytes, m_gapFill);
        layout.tagList = Here(out);
        for (const PendingTag& tag : m_tags) {
            layout.tags.push_back(Here(out));
            const auto size = static_cast<uint16_t>(kTagHeaderBytes + tag.data.size());
            AppendTag(out, tag.id, tag.item, tag.declaredSize.value_or(size), m_filler);
            out.insert(out.end(), tag.data.begin(), tag.data.end());
        }
        if (m_endTag) {
            layout.endTag = Here(out);
            AppendTag(out, kEndTagId, kNoItem, static_cast<uint16_t>(kTagHeaderBytes), m_filler);
        }
    }

    if (layoutOut)
        *layoutOut = std::move(layout);
    return out;
}

std::vector<uint8_t> Utf16Bytes(const std::u16string& text, bool terminated)
{
    std::vector<uint8_t> out;
    for (char16_t unit : text)
        Append16(out, static_cast<uint16_t>(unit));
    if (terminated)
        Append16(out, 0);
    return out;
}

bool PutU16(std::vector<uint8_t>& record, size_t offset, uint16_t value)
{
    if (offset > record.size() || record.size() - offset < 2)
        return false;
    record[offset] = static_cast<uint8_t>(value);
    record[offset + 1] = static_cast<uint8_t>(value >> 8);
    return true;
}

bool PutU32(std::vector<uint8_t>& record, size_t offset, uint32_t value)
{
    if (offset > record.size() || record.size() - offset < 4)
        return false;
    for (size_t i = 0; i < 4; ++i)
        record[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return true;
}

uint16_t GetU16(const std::vector<uint8_t>& record, size_t offset)
{
    if (offset > record.size() || record.size() - offset < 2)
        return 0;
    return static_cast<uint16_t>(record[offset] | (record[offset + 1] << 8));
}

uint32_t GetU32(const std::vector<uint8_t>& record, size_t offset)
{
    if (offset > record.size() || record.size() - offset < 4)
        return 0;
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(record[offset + i]) << (8 * i);
    return value;
}

uint32_t AppendUnterminatedString(std::vector<uint8_t>& record, const std::u16string& text)
{
    if (record.size() % 2 != 0)
        record.push_back(0);
    const uint32_t at = Here(record);
    std::vector<uint8_t> bytes = Utf16Bytes(text, false);
    record.insert(record.end(), bytes.begin(), bytes.end());
    PutU32(record, kSegmentSizeField, Here(record));
    return at;
}

std::vector<uint8_t> OneItemInEverySlotRecord(size_t titleUnits)
{
    GroupRecordBuilder builder(u"Every slot");
    builder.AddItem(GroupItem{std::u16string(titleUnits, u'T'), u"C:\\APPS\\ONE.EXE", 0, 0,
                              SolidIcon(4, Rgb(0, 128, 255))});
    for (int slot = 1; slot < 0xFFFF; ++slot)
        builder.AddEmptySlot();
    RecordLayout layout;
    std::vector<uint8_t> record = builder.Build(&layout);
    for (uint32_t slot : layout.slots)
        PutU32(record, slot, layout.items[0].record);
    return record;
}

}  // namespace testing_support
