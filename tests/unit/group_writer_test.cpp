#include "authoring/group_writer.h"

#include "catalog/program_group.h"
#include "tests/support/decoded_dump.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/host_codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

// Decodes from a buffer of exactly the record's size, so that AddressSanitizer sees any
// read past its end.
uint16_t Decode(const std::vector<uint8_t>& record, CProgramGroup& group, uint32_t* position = nullptr)
{
    std::unique_ptr<uint8_t[]> exact(new uint8_t[record.size()]);
    std::copy(record.begin(), record.end(), exact.get());
    std::vector<std::string> names;
    std::vector<uint32_t> positions;
    const uint16_t status = group.LoadFromRecord("UUNICODE Program Groups\\G", exact.get(), record.size(),
                                                 LOAD_ITEMS | LOAD_LIST, HostCodec(), GroupLists{&names, &positions});
    if (status == 0 && position)
        *position = positions[0];
    return status;
}

StoredIcon TestIcon(uint16_t bits, uint8_t seed)
{
    std::vector<uint8_t> image(size_t{128} * bits), mask(128);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + seed);
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = static_cast<uint8_t>(i ^ seed);
    return *MakeIcon(bits, {0x112233, seed}, image, mask);
}

WrittenItem Item(std::u16string title, const std::u16string& command, const std::u16string& directory = u"",
                 int32_t x = 0, int32_t y = 0)
{
    WrittenItem item;
    item.title = std::move(title);
    EXPECT_TRUE(ComposeCommand(command, directory, item.command).ok()) << std::string(command.begin(), command.end());
    item.x = x;
    item.y = y;
    return item;
}

std::vector<uint8_t> Write(const WrittenGroup& group)
{
    std::vector<uint8_t> record;
    EXPECT_TRUE(WriteGroupRecord(group, record).ok());
    return record;
}

// Reads a record back into the written form, writes that again and checks that the
// launcher sees the same group in both.
void ExpectReencodesAlike(const std::vector<uint8_t>& record)
{
    WrittenGroup read;
    ASSERT_TRUE(ReadGroupForWriting(record.data(), record.size(), read));
    std::vector<uint8_t> again;
    ASSERT_TRUE(WriteGroupRecord(read, again).ok());
    EXPECT_EQ(DumpDecoded(again, HostCodec()), DumpDecoded(record, HostCodec()));
}

TEST(GroupWriter, CommandsAndWorkingDirectoriesComeBackAsTheLauncherSplitsThem)
{
    struct Case {
        std::u16string command, directory;
        std::string decodedDirectory, decodedCommand;
    } cases[] = {
        {u"C:\\WIN\\NOTEPAD.EXE README.TXT", u"", "", "C:\\WIN\\NOTEPAD.EXE README.TXT"},
        {u"C:\\WIN\\NOTEPAD.EXE README.TXT", u"D:\\DOCS", "D:\\DOCS", "C:\\WIN\\NOTEPAD.EXE README.TXT"},
        {u"C:\\Program Files\\App\\app.exe -x C:\\a\\b", u"C:\\PROGRA~1\\App", "C:\\PROGRA~1\\App",
         "C:\\Program Files\\App\\app.exe -x C:\\a\\b"},
        {u"NOTEPAD.EXE", u"", "", "NOTEPAD.EXE"},
        {u"NOTEPAD.EXE x", u"C:", "C:", "NOTEPAD.EXE x"},
        {u"C:\\CALC.EXE", u"C:\\", "C:\\", "C:\\CALC.EXE"},
        {u"\\\\server\\share\\tool.exe", u"E:\\W", "E:\\W", "\\\\server\\share\\tool.exe"},
        {u"C:\\A\\\\B.EXE", u"", "", "C:\\A\\\\B.EXE"},
        {u"\"C:\\Program Files\\x.exe\" /q", u"D:\\", "D:\\", "\"C:\\Program Files\\x.exe\" /q"},
    };
    WrittenGroup group;
    group.name = u"Commands";
    for (size_t i = 0; i < std::size(cases); ++i)
        group.items.push_back(Item(u"T" + std::u16string(1, static_cast<char16_t>(u'a' + i)), cases[i].command,
                                   cases[i].directory, static_cast<int32_t>(i), 0));
    CProgramGroup decoded;
    ASSERT_EQ(Decode(Write(group), decoded), 0);
    ASSERT_EQ(decoded.m_items.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(decoded.m_items[i]->m_strDirectory, cases[i].decodedDirectory) << i;
        EXPECT_EQ(decoded.m_items[i]->m_strCommand, cases[i].decodedCommand) << i;
    }
}

TEST(GroupWriter, RefusesWorkingDirectoriesTheLauncherCannotSplitOff)
{
    StoredCommand stored{u"kept", {}};
    EXPECT_EQ(ComposeCommand(u"C:\\X.EXE", u"C:\\MY DIR", stored).error, WriteError::DirectoryUnusable);
    EXPECT_EQ(ComposeCommand(u"C:\\X.EXE", u"relative\\dir", stored).error, WriteError::DirectoryUnusable);
    EXPECT_EQ(ComposeCommand(u"C:\\X.EXE", u"\\\\server\\share", stored).error, WriteError::DirectoryUnusable);
    EXPECT_EQ(ComposeCommand(u"", u"", stored).error, WriteError::CommandEmpty);
    EXPECT_EQ(ComposeCommand(std::u16string(u"A\0B", 3), u"", stored).error, WriteError::NulInText);
    EXPECT_EQ(ComposeCommand(u"C:\\" + std::u16string(300, u'x'), u"", stored).error, WriteError::CommandTooLong);
    EXPECT_EQ(stored.field, u"kept");
}

TEST(GroupWriter, GroupItemsFlagsAndIconsComeBackWhole)
{
    WrittenGroup group;
    group.name = u"Tools \u30A2";
    group.left = 0xFFF6;  // a window just off the left edge
    group.top = 200;
    group.items.push_back(Item(u"Second", u"C:\\B.EXE", u"", 80, 0));
    group.items.push_back(Item(u"Third", u"C:\\C.EXE", u"", 10, 40));
    group.items.push_back(Item(u"First", u"C:\\A.EXE", u"", 10, 0));
    group.items[0].minimized = true;
    group.items[0].icon = TestIcon(4, 1);
    group.items[1].icon = TestIcon(8, 2);
    group.items[1].hotKey = 0x0641;
    group.items[2].icon = TestIcon(1, 3);
    const std::vector<uint8_t> record = Write(group);

    CProgramGroup decoded;
    uint32_t position = 0;
    ASSERT_EQ(Decode(record, decoded, &position), 0);
    EXPECT_EQ(decoded.m_strName, "Tools \x83\x41");
    EXPECT_EQ(position, (200u << 16) | 0xFFF6u);
    ASSERT_EQ(decoded.m_items.size(), 3u);
    const char* order[] = {"First", "Second", "Third"};
    const StoredIcon* icons[] = {&*group.items[2].icon, &*group.items[0].icon, &*group.items[1].icon};
    for (size_t i = 0; i < 3; ++i) {
        const CProgramItem& item = *decoded.m_items[i];
        EXPECT_EQ(item.m_strTitle, order[i]);
        EXPECT_EQ(item.m_bMinimized, i == 1 ? 1 : 0);
        ASSERT_NE(item.m_nIconInfo, 0u);
        const std::vector<uint8_t> stored(record.begin() + item.m_nIconInfo,
                                          record.begin() + item.m_nIconMask + kIconMaskBytes);
        EXPECT_EQ(stored, icons[i]->bytes) << i;
    }

    WrittenGroup back;
    ASSERT_TRUE(ReadGroupForWriting(record.data(), record.size(), back));
    EXPECT_EQ(back.name, group.name);
    EXPECT_EQ(back.left, group.left);
    EXPECT_EQ(back.top, group.top);
    EXPECT_EQ(back.items, group.items);
    // Written again from what was read: the same bytes.
    std::vector<uint8_t> again;
    ASSERT_TRUE(WriteGroupRecord(back, again).ok());
    EXPECT_EQ(again, record);
}

TEST(GroupWriter, AnItemWithoutIconAndAGroupWithoutTagsAreWrittenPlainly)
{
    WrittenGroup group;
    group.name = u"Plain";
    group.items.push_back(Item(u"Note", u"NOTEPAD.EXE"));
    const std::vector<uint8_t> record = Write(group);
    EXPECT_EQ(GetU32(record, 4), record.size());  // no tag list
    CProgramGroup decoded;
    ASSERT_EQ(Decode(record, decoded), 0);
    ASSERT_EQ(decoded.m_items.size(), 1u);
    EXPECT_EQ(decoded.m_items[0]->m_nIconInfo, 0u);
    EXPECT_EQ(decoded.m_items[0]->m_strCommand, "NOTEPAD.EXE");
}

TEST(GroupWriter, RefusesWhatWouldNotComeBackAndWritesNothing)
{
    const std::vector<uint8_t> before{1, 2, 3};
    auto refusal = [&](const WrittenGroup& group) {
        std::vector<uint8_t> record = before;
        const WriteResult result = WriteGroupRecord(group, record);
        EXPECT_EQ(record, before);
        return result;
    };
    WrittenGroup group;
    group.name = u"G";
    group.items.push_back(Item(u"A", u"A.EXE"));
    group.items.push_back(Item(u"B", u"B.EXE"));

    WrittenGroup bad = group;
    bad.name = std::u16string(kMaxStringUnits + 1, u'n');
    EXPECT_EQ(refusal(bad).error, WriteError::NameTooLong);

    bad = group;
    bad.items[1].title = std::u16string(kMaxStringUnits + 1, u't');
    WriteResult result = refusal(bad);
    EXPECT_EQ(result.error, WriteError::TitleTooLong);
    EXPECT_EQ(result.item, 1u);

    bad = group;
    bad.items[0].title = std::u16string(u"a\0b", 3);
    EXPECT_EQ(refusal(bad).error, WriteError::NulInText);

    bad = group;
    bad.items[1].icon = TestIcon(4, 0);
    bad.items[1].icon->bytes.pop_back();
    EXPECT_EQ(refusal(bad).error, WriteError::BadIcon);
    bad.items[1].icon = StoredIcon{std::vector<uint8_t>(40, 0)};
    EXPECT_EQ(refusal(bad).error, WriteError::BadIcon);

    bad = group;
    bad.items.assign(0x10000, group.items[0]);
    EXPECT_EQ(refusal(bad).error, WriteError::TooManyItems);

    // Directory tags of 255 units take 524 bytes; 126 of them start past the 16-bit offset.
    bad = group;
    bad.items.assign(200, Item(u"L", u"C:\\" + std::u16string(250, u'd') + u"\\X.EXE"));
    for (WrittenItem& item : bad.items)
        item.command.directories[0].resize(kMaxWrittenUnits, u'd');
    EXPECT_EQ(refusal(bad).error, WriteError::TagsTooLarge);
    bad.items.resize(120);
    std::vector<uint8_t> record;
    EXPECT_TRUE(WriteGroupRecord(bad, record).ok());
}

TEST(GroupWriter, MakeIconRefusesWrongSizes)
{
    EXPECT_FALSE(MakeIcon(2, {}, std::vector<uint8_t>(256), std::vector<uint8_t>(128)));
    EXPECT_FALSE(MakeIcon(4, {}, std::vector<uint8_t>(511), std::vector<uint8_t>(128)));
    EXPECT_FALSE(MakeIcon(1, {}, std::vector<uint8_t>(128), std::vector<uint8_t>(127)));
    EXPECT_FALSE(MakeIcon(1, {1, 2, 3}, std::vector<uint8_t>(128), std::vector<uint8_t>(128)));
    const auto icon = MakeIcon(1, {0xFF0000}, std::vector<uint8_t>(128), std::vector<uint8_t>(128));
    ASSERT_TRUE(icon);
    EXPECT_TRUE(IsDrawableIcon(*icon));
    EXPECT_EQ(icon->bytes.size(), 40u + 8u + 128u + 128u);
}

TEST(GroupWriter, RecordsTheLauncherAcceptsReencodeToTheSameGroup)
{
    // Empty slots, a damaged item, stacked and unknown tags, tags for missing items, a
    // deep icon the launcher does not draw, strings longer than the launcher reads.
    GroupRecordBuilder odd(std::u16string(300, u'N'));
    odd.Position(3, 4);
    odd.AddItem(GroupItem{u"A", u"C:\\DIR\\A.EXE arg", 5, 1, SolidIcon(4, Rgb(1, 2, 3))});
    odd.AddEmptySlot();
    odd.AddItem(GroupItem{std::u16string(400, u'T'), u"B.EXE", 5, 1, BlankIcon(1, 24)});
    odd.AddItem(GroupItem{u"C", u"D:\\C.EXE", 5, 0, std::nullopt});
    odd.DirectoryTag(1, u"E:\\ONE").DirectoryTag(1, u"F:\\TWO\\").MinimizeTag(2).MinimizeTag(2);
    odd.RawTag(0x9999, 0, {1, 2, 3, 4}).MinimizeTag(7).DirectoryTag(0xFFFF, u"G:\\");
    odd.DirectoryTag(0, std::u16string(600, u'L'));
    RecordLayout layout;
    std::vector<uint8_t> record = odd.Build(&layout);
    ExpectReencodesAlike(record);

    // An item whose title runs off the end is left out, and tags count without it.
    std::vector<uint8_t> cut = record;
    PutU32(cut, layout.items[0].record + 0x14, static_cast<uint32_t>(cut.size() - 1));
    ExpectReencodesAlike(cut);

    // A damaged tag ends the list: the tags before it still count.
    GroupRecordBuilder damaged(u"Damaged");
    damaged.AddItem(u"A", u"A.EXE");
    damaged.MinimizeTag(0).RawTag(0x8101, 0, {}, 4).DirectoryTag(0, u"C:\\LOST");
    ExpectReencodesAlike(damaged.Build());

    // Double-byte text whose trail byte is a backslash.
    GroupRecordBuilder wide(u"Wide");
    wide.AddItem(std::u16string(u"T") + kTrailBackslashChar, u"C:\\D" + std::u16string(1, kTrailBackslashChar) + u"\\X.EXE");
    wide.DirectoryTag(0, u"C:\\E" + std::u16string(1, kTrailBackslashChar2));
    ExpectReencodesAlike(wide.Build());

    WrittenGroup refused;
    EXPECT_FALSE(ReadGroupForWriting(record.data(), 0x30, refused));
    EXPECT_FALSE(ReadGroupForWriting(nullptr, 0, refused));
}

// Random groups: whatever is written reads back as it was and decodes as composed.
TEST(GroupWriter, RandomGroupsRoundTrip)
{
    std::mt19937 random(12345);
    const std::u16string alphabet = u"ab Z:\\.\\x" + std::u16string(1, kPlainDoubleByteChar);
    auto text = [&](size_t maxLength) {
        std::u16string out(random() % (maxLength + 1), u'a');
        for (char16_t& unit : out)
            unit = alphabet[random() % alphabet.size()];
        return out;
    };
    size_t composed = 0;
    for (int round = 0; round < 300; ++round) {
        WrittenGroup group;
        group.name = u"G" + text(20);
        group.left = static_cast<uint16_t>(random());
        group.top = static_cast<uint16_t>(random());
        std::vector<std::pair<std::u16string, std::u16string>> expected;
        const size_t count = random() % 8;
        for (size_t i = 0; i < count; ++i) {
            WrittenItem item;
            item.title = text(30);
            const std::u16string command = (random() % 2 ? u"C:\\" : u"") + text(40) + u"x";
            const std::u16string directory = random() % 2 ? u"D:\\" + text(10) : u"";
            if (!ComposeCommand(command, directory, item.command).ok())
                continue;
            ++composed;
            std::u16string backDirectory, backCommand;
            ExpandCommand(item.command, backDirectory, backCommand);
            EXPECT_EQ(backCommand, command);
            EXPECT_EQ(backDirectory, directory);
            item.minimized = random() % 2 == 0;
            item.hotKey = static_cast<uint16_t>(random() % 3 == 0 ? random() : 0);
            item.x = static_cast<int32_t>(random());
            item.y = static_cast<int32_t>(random() % 3);
            if (random() % 2)
                item.icon = TestIcon(random() % 2 ? 4 : 8, static_cast<uint8_t>(random()));
            group.items.push_back(item);
        }
        std::vector<uint8_t> record;
        ASSERT_TRUE(WriteGroupRecord(group, record).ok());
        WrittenGroup back;
        ASSERT_TRUE(ReadGroupForWriting(record.data(), record.size(), back));
        EXPECT_EQ(back.name, group.name);
        EXPECT_EQ(back.items, group.items);
        CProgramGroup decoded;
        ASSERT_EQ(Decode(record, decoded), 0);
        EXPECT_EQ(decoded.m_items.size(), group.items.size());
    }
    EXPECT_GT(composed, 500u);
}

}  // namespace
