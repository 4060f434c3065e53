#include "catalog/group_record.h"

#include "tests/support/group_record_builder.h"
#include "tests/support/host_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// A copy in a buffer of exactly the record's size, so that AddressSanitizer sees any
// read past its end.
class ExactRecord {
public:
    explicit ExactRecord(const std::vector<uint8_t>& bytes, size_t size = SIZE_MAX)
        : m_size(std::min(size, bytes.size())), m_data(new uint8_t[m_size])
    {
        std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(m_size), m_data.get());
    }
    GroupRecord Reader(const CodePage& codec) const { return GroupRecord(m_data.get(), m_size, codec); }

private:
    size_t m_size;
    std::unique_ptr<uint8_t[]> m_data;
};

struct SeenTag {
    uint16_t id;
    uint16_t item;
    size_t dataSize;
    bool operator==(const SeenTag& other) const
    {
        return id == other.id && item == other.item && dataSize == other.dataSize;
    }
};

struct Walk {
    bool ended = false;
    std::vector<SeenTag> tags;
};

Walk WalkTagsOf(const std::vector<uint8_t>& bytes)
{
    const CodePage codec = HostCodec();
    ExactRecord exact(bytes);
    GroupRecord record = exact.Reader(codec);
    GroupHeader header;
    Walk walk;
    if (!record.ReadHeader(header))
        return walk;
    walk.ended = record.WalkTags(header, [&](const Tag& tag) {
        walk.tags.push_back({tag.id, tag.item, tag.dataSize});
    });
    return walk;
}

}  // namespace

TEST(GroupRecordHeader, ReadsItsFieldsAndIgnoresTheUnreadOnes)
{
    // A non-zero filler in every unread byte: the decoder must read only its fields.
    GroupRecordBuilder builder(u"Accessories", 0xA5);
    builder.Position(0xFFF6, 3);
    builder.AddItem(u"A", u"A.EXE");
    builder.AddEmptySlot();
    builder.AddItem(u"B", u"B.EXE");
    RecordLayout layout;
    const std::vector<uint8_t> bytes = builder.Build(&layout);

    const CodePage codec = HostCodec();
    ExactRecord exact(bytes);
    GroupRecord record = exact.Reader(codec);
    GroupHeader header;
    ASSERT_TRUE(record.ReadHeader(header));
    EXPECT_EQ(layout.segmentSize, header.segmentSize);
    EXPECT_EQ(bytes.size(), header.segmentSize);
    EXPECT_EQ(0xFFF6, header.left);
    EXPECT_EQ(3, header.top);
    EXPECT_EQ(layout.name, header.nameOffset);
    EXPECT_EQ(3, header.itemCount);

    std::string name;
    ASSERT_TRUE(record.ReadString(header.nameOffset, name));
    EXPECT_EQ("Accessories", name);

    uint32_t slot = 1;
    ASSERT_TRUE(record.ReadItemSlot(header, 1, slot));
    EXPECT_EQ(0u, slot);
    ASSERT_TRUE(record.ReadItemSlot(header, 2, slot));
    EXPECT_EQ(layout.items[1].record, slot);
    EXPECT_FALSE(record.ReadItemSlot(header, 3, slot));

    ItemRecord item;
    ASSERT_TRUE(record.ReadItem(layout.items[1].record, item));
    EXPECT_EQ(layout.items[1].title, item.titleOffset);
    EXPECT_EQ(layout.items[1].command, item.commandOffset);
}

TEST(GroupRecordHeader, IsRefusedWhenTheRecordIsShorterThanItOrItsItemTable)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"A", u"A.EXE");
    builder.AddItem(u"B", u"B.EXE");
    builder.AddItem(u"C", u"C.EXE");
    const std::vector<uint8_t> bytes = builder.Build();
    const CodePage codec = HostCodec();

    const struct {
        size_t size;
        bool readable;
    } cases[] = {{0, false}, {0x37, false}, {0x38 + 11, false}, {0x38 + 12, true}};
    for (const auto& c : cases) {
        ExactRecord exact(bytes, c.size);
        GroupHeader header;
        EXPECT_EQ(c.readable, exact.Reader(codec).ReadHeader(header)) << "size " << c.size;
    }

    std::vector<uint8_t> huge = GroupRecordBuilder().ItemCountField(0xFFFF).Build();
    GroupHeader header;
    EXPECT_FALSE(ExactRecord(huge).Reader(codec).ReadHeader(header));

    EXPECT_FALSE(GroupRecord(nullptr, 100, codec).ReadHeader(header));
}

TEST(GroupRecordString, NeedsItsTerminatorInsideTheRecord)
{
    const CodePage codec = HostCodec();
    RecordLayout layout;
    std::vector<uint8_t> bytes = GroupRecordBuilder(u"Games").Build(&layout);
    std::string text;

    // The name is the last thing written: its terminator is the record's last two bytes.
    ASSERT_EQ(bytes.size(), layout.name + 12u);
    EXPECT_TRUE(ExactRecord(bytes).Reader(codec).ReadString(layout.name, text));
    EXPECT_FALSE(ExactRecord(bytes, bytes.size() - 1).Reader(codec).ReadString(layout.name, text));
    EXPECT_FALSE(ExactRecord(bytes, bytes.size() - 2).Reader(codec).ReadString(layout.name, text));

    std::vector<uint8_t> open = bytes;
    const uint32_t at = AppendUnterminatedString(open, u"NO END");
    EXPECT_FALSE(ExactRecord(open).Reader(codec).ReadString(at, text));
    EXPECT_FALSE(ExactRecord(open).Reader(codec).ReadString(static_cast<uint32_t>(open.size()), text));
    EXPECT_FALSE(ExactRecord(open).Reader(codec).ReadString(0xFFFFFFFFu, text));

    // Text may start at an odd offset; the record promises no alignment.
    std::vector<uint8_t> odd = bytes;
    odd.push_back(0);
    const auto oddAt = static_cast<uint32_t>(odd.size());
    for (uint8_t byte : Utf16Bytes(u"ODD"))
        odd.push_back(byte);
    ASSERT_EQ(1u, oddAt % 2);
    ASSERT_TRUE(ExactRecord(odd).Reader(codec).ReadString(oddAt, text));
    EXPECT_EQ("ODD", text);

    ASSERT_TRUE(ExactRecord(odd).Reader(codec).ReadString(static_cast<uint32_t>(odd.size() - 2), text));
    EXPECT_EQ("", text);
}

template <typename Text>
Text RepeatedText(const Text& text, size_t times)
{
    Text out;
    for (size_t i = 0; i < times; ++i)
        out += text;
    return out;
}
std::string Repeated(const std::string& text, size_t times) { return RepeatedText(text, times); }
std::u16string Repeated16(const std::u16string& text, size_t times) { return RepeatedText(text, times); }

TEST(GroupRecordString, IsCutTo255BytesOnAWholeCharacter)
{
    const CodePage codec = HostCodec();
    const CodePage utf8 = HostUtf8Codec();
    const struct {
        std::u16string name;
        std::string expected;
        const CodePage& codec;
    } cases[] = {
        {std::u16string(300, u'A'), std::string(255, 'A'), codec},
        {std::u16string(255, u'B'), std::string(255, 'B'), codec},
        {std::u16string(254, u'C'), std::string(254, 'C'), codec},
        // 127 double-byte characters fill 254 bytes; the 128th would need 256.
        {std::u16string(200, kPlainDoubleByteChar), Repeated("\x83\x41", 127), codec},
        // UTF-8: characters of two, three and four bytes (a surrogate pair) are kept whole.
        {std::u16string(200, u'\u0414'), Repeated("\xD0\x94", 127), utf8},
        {std::u16string(100, u'\u4E2D'), Repeated("\xE4\xB8\xAD", 85), utf8},
        {u"ab" + std::u16string(100, u'\u4E2D'), "ab" + Repeated("\xE4\xB8\xAD", 84), utf8},
        {Repeated16(u"\U0001F600", 70), Repeated("\xF0\x9F\x98\x80", 63), utf8},
    };
    for (const auto& c : cases) {
        RecordLayout layout;
        const std::vector<uint8_t> bytes = GroupRecordBuilder(c.name).Build(&layout);
        std::string text;
        bool exact = false;
        ASSERT_TRUE(ExactRecord(bytes).Reader(c.codec).ReadString(layout.name, text, &exact));
        EXPECT_EQ(c.expected, text) << "length " << c.name.size();
        EXPECT_TRUE(exact);
    }
}

// A codec that notes the most units it was handed in one call.
CodePage CountingCodec(size_t& mostUnits)
{
    CodePage codec = HostCodec();
    codec.fromWide = [&mostUnits, convert = codec.fromWide](const char16_t* units, size_t count, bool& exact) {
        mostUnits = std::max(mostUnits, count);
        return convert(units, count, exact);
    };
    return codec;
}

TEST(GroupRecordString, ALongStringCostsNoMoreThanWhatIsKept)
{
    size_t mostUnits = 0;
    const CodePage codec = CountingCodec(mostUnits);
    RecordLayout layout;
    const std::vector<uint8_t> bytes = GroupRecordBuilder(std::u16string(80000, u'N')).Build(&layout);
    std::string text;
    ASSERT_TRUE(ExactRecord(bytes).Reader(codec).ReadString(layout.name, text));
    EXPECT_EQ(std::string(255, 'N'), text);
    EXPECT_EQ(kMaxStringUnits, mostUnits);

    // However long it is, a string without a terminator is still refused.
    std::vector<uint8_t> open = bytes;
    const uint32_t at = AppendUnterminatedString(open, std::u16string(80000, u'U'));
    EXPECT_FALSE(ExactRecord(open).Reader(codec).ReadString(at, text));

    // Units are counted from the string's own offset: 0 units between its units (at the
    // other parity) are no terminator of it.
    std::vector<uint8_t> shifted = bytes;
    shifted.push_back(0x20);
    const auto oddAt = static_cast<uint32_t>(shifted.size());
    for (int i = 0; i < 300; ++i)
        shifted.insert(shifted.end(), {0x41, 0x00, 0x00, 0x41});
    EXPECT_FALSE(ExactRecord(shifted).Reader(codec).ReadString(oddAt, text));
    ASSERT_TRUE(ExactRecord(shifted).Reader(codec).ReadString(oddAt + 1, text));
    EXPECT_EQ("", text);
    ASSERT_TRUE(ExactRecord(shifted).Reader(codec).ReadString(oddAt - 1, text));
    EXPECT_EQ("?", text);  // U+4120, then the terminator
}

TEST(GroupRecordIcon, PartsFollowTheHeaderByPlanesAndBitCount)
{
    const struct {
        IconImage icon;
        uint32_t colourTable;  // bytes
        uint32_t image;        // bytes
    } cases[] = {
        {SolidIcon(4, Rgb(255, 0, 0)), 64, 512},
        {SolidIcon(8, Rgb(0, 255, 0)), 1024, 1024},
        {SolidIcon(1, Rgb(0, 0, 255)), 8, 128},
        {BlankIcon(2, 4), 1024, 1024},
        {[] {
             IconImage icon = SolidIcon(4, 0);
             icon.headerSize = 44;
             return icon;
         }(),
         64, 512},
    };
    const CodePage codec = HostCodec();
    for (const auto& c : cases) {
        GroupRecordBuilder builder;
        builder.AddItem(GroupItem{u"T", u"T.EXE", 0, 0, c.icon});
        RecordLayout layout;
        const std::vector<uint8_t> bytes = builder.Build(&layout);
        const IconLayout& written = layout.items[0].icon;
        SCOPED_TRACE(testing::Message() << "planes " << c.icon.planes << " bits " << c.icon.bitCount
                                        << " header " << c.icon.headerSize);

        IconLocation icon;
        ASSERT_TRUE(ExactRecord(bytes).Reader(codec).LocateIcon(written.info, icon));
        EXPECT_EQ(written.info, icon.info);
        EXPECT_EQ(written.info + c.icon.headerSize + c.colourTable, icon.bits);
        EXPECT_EQ(icon.bits + c.image, icon.mask);
        EXPECT_EQ(written.bits, icon.bits);
        EXPECT_EQ(written.mask, icon.mask);
        EXPECT_EQ(c.icon.planes, icon.planes);
        EXPECT_EQ(c.icon.bitCount, icon.bitCount);

        // The mask is the last part: one byte short and the icon is not there.
        ASSERT_EQ(written.end, bytes.size());
        EXPECT_TRUE(ExactRecord(bytes, written.end).Reader(codec).LocateIcon(written.info, icon));
        EXPECT_FALSE(ExactRecord(bytes, written.end - 1).Reader(codec).LocateIcon(written.info, icon));
    }
}

TEST(GroupRecordIcon, IsNotLocatedWhenItsDepthOrOffsetsAreImpossible)
{
    const CodePage codec = HostCodec();
    auto locate = [&](IconImage image, void (*patch)(std::vector<uint8_t>&, const IconLayout&)) {
        GroupRecordBuilder builder;
        builder.AddItem(GroupItem{u"T", u"T.EXE", 0, 0, std::move(image)});
        RecordLayout layout;
        std::vector<uint8_t> bytes = builder.Build(&layout);
        if (patch)
            patch(bytes, layout.items[0].icon);
        IconLocation icon;
        return ExactRecord(bytes).Reader(codec).LocateIcon(layout.items[0].icon.info, icon);
    };

    // Deeper than 8 bits, even with room for a colour table of the computed size.
    auto deep = [](uint16_t planes, uint16_t bitCount) {
        IconImage icon = BlankIcon(planes, bitCount);
        icon.palette.resize(size_t{1} << (planes * bitCount));
        return icon;
    };
    EXPECT_FALSE(locate(deep(1, 16), nullptr));
    EXPECT_FALSE(locate(deep(3, 4), nullptr));
    EXPECT_FALSE(locate(deep(1, 9), nullptr));
    EXPECT_FALSE(locate(BlankIcon(1, 24), nullptr));
    EXPECT_FALSE(locate(BlankIcon(1, 0), nullptr));
    EXPECT_FALSE(locate(BlankIcon(0, 4), nullptr));
    // 0xFFFF planes of 0xFFFF bits: a depth whose colour table cannot even be computed.
    EXPECT_FALSE(locate(SolidIcon(4, 0), [](std::vector<uint8_t>& b, const IconLayout& icon) {
        PutU16(b, icon.info + 0x0C, 0xFFFF);
        PutU16(b, icon.info + 0x0E, 0xFFFF);
    }));
    // A header size that would carry the parts past the end, or around 4 GB to the start.
    EXPECT_FALSE(locate(SolidIcon(4, 0), [](std::vector<uint8_t>& b, const IconLayout& icon) {
        PutU32(b, icon.info, 0xFFFFFFF0u);
    }));
    EXPECT_FALSE(locate(SolidIcon(4, 0), [](std::vector<uint8_t>& b, const IconLayout& icon) {
        PutU32(b, icon.info, 41);
    }));
    // A 12-byte core header keeps its plane and bit counts elsewhere than the 0x0C and
    // 0x0E that are read here.
    EXPECT_FALSE(locate(SolidIcon(4, 0), [](std::vector<uint8_t>& b, const IconLayout& icon) {
        PutU32(b, icon.info, 12);
    }));

    GroupRecordBuilder builder;
    builder.AddItem(GroupItem{u"T", u"T.EXE", 0, 0, SolidIcon(4, 0)});
    const std::vector<uint8_t> bytes = builder.Build();
    IconLocation icon;
    EXPECT_FALSE(ExactRecord(bytes).Reader(codec).LocateIcon(static_cast<uint32_t>(bytes.size()) - 8, icon));
    EXPECT_FALSE(ExactRecord(bytes).Reader(codec).LocateIcon(0xFFFFFFFCu, icon));
}

TEST(GroupRecordTags, AreWalkedFrom16BytesAfterTheSegmentToTheEndTag)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"A", u"A.EXE");
    builder.DirectoryTag(0, u"D:\\APPS");
    builder.RawTag(0x8102, 0xFFFF, {1, 2, 3, 4, 5, 6});
    builder.MinimizeTag(7);
    const std::vector<uint8_t> bytes = builder.Build();

    // The unread gap is all 0xFF: a walk that started at the segment's end would stop at once.
    const Walk walk = WalkTagsOf(bytes);
    EXPECT_TRUE(walk.ended);
    const std::vector<SeenTag> expected = {{0x8101, 0, 16}, {0x8102, 0xFFFF, 6}, {0x8103, 7, 0}};
    EXPECT_EQ(expected, walk.tags);
}

TEST(GroupRecordTags, DirectoryTextMustEndInsideItsTag)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"A", u"A.EXE");
    builder.DirectoryTag(0, u"D:\\APPS");
    // Unterminated, and the next tag's header holds a zero unit: that one does not count.
    builder.RawTag(0x8101, 0, Utf16Bytes(u"D:\\OPEN", false));
    builder.RawTag(0x8101, 0, Utf16Bytes(u"D:\\X", false));
    builder.RawTag(0x8101, 0, {});
    const std::vector<uint8_t> bytes = builder.Build();

    const CodePage codec = HostCodec();
    ExactRecord exact(bytes);
    GroupRecord record = exact.Reader(codec);
    GroupHeader header;
    ASSERT_TRUE(record.ReadHeader(header));
    std::vector<std::string> texts;
    record.WalkTags(header, [&](const Tag& tag) {
        std::string text;
        texts.push_back(record.ReadTagString(tag, text) ? text : "<none>");
    });
    EXPECT_EQ((std::vector<std::string>{"D:\\APPS", "<none>", "<none>", "<none>"}), texts);
}

TEST(GroupRecordTags, DamagedListsEndTheWalkAndKeepWhatCameBefore)
{
    auto withTags = [] {
        GroupRecordBuilder builder;
        builder.AddItem(u"A", u"A.EXE");
        return builder;
    };
    const std::vector<SeenTag> none;
    const SeenTag minimize{0x8103, 0, 0};

    {
        SCOPED_TRACE("segment size equals the record's size");
        RecordLayout layout;
        std::vector<uint8_t> bytes = withTags().MinimizeTag(0).Build(&layout);
        PutU32(bytes, 0x04, static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(none, WalkTagsOf(bytes).tags);
    }
    {
        SCOPED_TRACE("an end tag before other tags");
        const Walk walk = WalkTagsOf(withTags().RawTag(0xFFFF, 0, {}).MinimizeTag(0).Build());
        EXPECT_TRUE(walk.ended);
        EXPECT_EQ(none, walk.tags);
    }
    {
        SCOPED_TRACE("only the end tag");
        const Walk walk = WalkTagsOf(withTags().WithTagList().Build());
        EXPECT_TRUE(walk.ended);
        EXPECT_EQ(none, walk.tags);
    }
    {
        SCOPED_TRACE("no end tag");
        const Walk walk = WalkTagsOf(withTags().MinimizeTag(0).WithoutEndTag().Build());
        EXPECT_FALSE(walk.ended);
        EXPECT_EQ(std::vector<SeenTag>{minimize}, walk.tags);
    }
    for (uint16_t size : {uint16_t{0}, uint16_t{1}, uint16_t{11}}) {
        SCOPED_TRACE(testing::Message() << "a tag of size " << size);
        const Walk walk = WalkTagsOf(withTags().MinimizeTag(0).RawTag(0x8103, 0, {}, size).MinimizeTag(0).Build());
        EXPECT_FALSE(walk.ended);
        EXPECT_EQ(std::vector<SeenTag>{minimize}, walk.tags);
    }
    {
        SCOPED_TRACE("a tag claiming more bytes than the record has left");
        const Walk walk = WalkTagsOf(withTags().MinimizeTag(0).RawTag(0x8101, 0, Utf16Bytes(u"D:\\"), 0x7000).Build());
        EXPECT_FALSE(walk.ended);
        EXPECT_EQ(std::vector<SeenTag>{minimize}, walk.tags);
    }
    {
        SCOPED_TRACE("the end tag cut off");
        RecordLayout layout;
        std::vector<uint8_t> bytes = withTags().MinimizeTag(0).Build(&layout);
        bytes.resize(layout.endTag + 2);
        const Walk walk = WalkTagsOf(bytes);
        EXPECT_EQ(std::vector<SeenTag>{minimize}, walk.tags);
    }
    for (uint32_t segment : {0x10000u, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(testing::Message() << "segment size " << segment);
        EXPECT_EQ(none, WalkTagsOf(withTags().MinimizeTag(0).SegmentSizeField(segment).Build()).tags);
    }
    {
        // Two tags of 0x8000 bytes bring a 16-bit running offset back to 0, where the
        // first tag would come round again for ever.
        SCOPED_TRACE("running offset wraps");
        const std::vector<uint8_t> filler(0x8000 - 12, 0x11);
        const Walk walk =
            WalkTagsOf(withTags().RawTag(0x8103, 0, filler).RawTag(0x8104, 0, filler).MinimizeTag(0).Build());
        EXPECT_FALSE(walk.ended);
        EXPECT_EQ((std::vector<SeenTag>{{0x8103, 0, filler.size()}, {0x8104, 0, filler.size()}}), walk.tags);
    }
    {
        SCOPED_TRACE("running offset just short of wrapping");
        const std::vector<uint8_t> filler(0x7FF0 - 12, 0x11);
        const Walk walk = WalkTagsOf(withTags().RawTag(0x8102, 0, filler).RawTag(0x8102, 0, filler).MinimizeTag(0).Build());
        EXPECT_TRUE(walk.ended);
        EXPECT_EQ(3u, walk.tags.size());
    }
}

TEST(GroupRecordBuilder, IconHelpersStoreRowsBottomFirst)
{
    IconPixels pixels{};
    pixels[0][31] = 5;   // top right
    pixels[31][0] = 9;   // bottom left
    IconMask mask = OpaqueMask();
    mask[0] = 0x80000001u;  // top row: leftmost and rightmost transparent
    for (uint16_t bits : {uint16_t{4}, uint16_t{8}}) {
        const IconImage icon = IconFromPixels(bits, {Rgb(1, 2, 3)}, pixels, mask);
        EXPECT_EQ(size_t{1} << bits, icon.palette.size());
        EXPECT_EQ(128u * bits, icon.bits.size());
        EXPECT_EQ(5, PixelIndex(icon, 31, 0));
        EXPECT_EQ(9, PixelIndex(icon, 0, 31));
        EXPECT_EQ(0, PixelIndex(icon, 0, 0));
        // The bottom row is stored first.
        EXPECT_EQ(bits == 4 ? 0x90 : 0x09, icon.bits[0]);
    }
    const IconImage icon = IconFromPixels(4, {}, pixels, mask);
    EXPECT_TRUE(MaskTransparent(icon, 0, 0));
    EXPECT_TRUE(MaskTransparent(icon, 31, 0));
    EXPECT_FALSE(MaskTransparent(icon, 1, 0));
    EXPECT_FALSE(MaskTransparent(icon, 0, 31));
    EXPECT_EQ(0x80, icon.mask[31 * 4]);
    EXPECT_EQ(0x01, icon.mask[31 * 4 + 3]);

    const IconImage quarter = QuarterIcon(4, Rgb(255, 0, 0), Rgb(0, 0, 255), TransparentMask());
    EXPECT_EQ(Rgb(255, 0, 0), quarter.palette[PixelIndex(quarter, 0, 0)]);
    EXPECT_EQ(Rgb(255, 0, 0), quarter.palette[PixelIndex(quarter, 15, 15)]);
    EXPECT_EQ(Rgb(0, 0, 255), quarter.palette[PixelIndex(quarter, 16, 0)]);
    EXPECT_EQ(Rgb(0, 0, 255), quarter.palette[PixelIndex(quarter, 0, 16)]);
    EXPECT_TRUE(MaskTransparent(quarter, 7, 30));
}
