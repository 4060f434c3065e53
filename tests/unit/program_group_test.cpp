#include "catalog/program_group.h"

#include "tests/support/group_record_builder.h"
#include "tests/support/host_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const std::string kSource = "UUNICODE Program Groups\\Main";

struct Lists {
    std::vector<std::string> names;
    std::vector<uint32_t> positions;
    GroupLists Ref() { return GroupLists{&names, &positions}; }
};

// Loads from a copy in a buffer of exactly `size` bytes, so that AddressSanitizer sees
// any read past the record's end.
uint16_t LoadInto(CProgramGroup& group, const std::vector<uint8_t>& bytes, uint16_t flags = LOAD_ITEMS,
                  Lists* lists = nullptr, size_t size = SIZE_MAX)
{
    size = std::min(size, bytes.size());
    std::unique_ptr<uint8_t[]> exact(new uint8_t[size]);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), exact.get());
    Lists unused;
    return group.LoadFromRecord(kSource, exact.get(), size, flags, HostCodec(), lists ? lists->Ref() : unused.Ref());
}

std::string Titles(const CProgramGroup& group)
{
    std::string titles;
    for (const auto& item : group.m_items)
        titles += (titles.empty() ? "" : ",") + item->m_strTitle;
    return titles;
}

// Everything a load can change, as one comparable text.
std::string Describe(const CProgramGroup& group)
{
    std::string text = group.m_strSource + "|" + group.m_strName;
    for (const auto& item : group.m_items) {
        text += "\n" + item->m_strTitle + "|" + item->m_strCommand + "|" + item->m_strDirectory + "|" +
                std::to_string(item->m_bMinimized) + "|" + std::to_string(item->m_ptIcon.x) + "," +
                std::to_string(item->m_ptIcon.y) + "|" + std::to_string(item->m_nIconInfo) + "," +
                std::to_string(item->m_nIconBits) + "," + std::to_string(item->m_nIconMask);
    }
    return text;
}

const CProgramItem* Find(const CProgramGroup& group, const std::string& title)
{
    for (const auto& item : group.m_items) {
        if (item->m_strTitle == title)
            return item.get();
    }
    return nullptr;
}

// A group already holding items, to show what a load leaves alone.
void LoadOldGroup(CProgramGroup& group)
{
    GroupRecordBuilder builder(u"Old");
    builder.AddItem(u"Old item", u"C:\\OLD\\OLD.EXE");
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
}

std::unique_ptr<CProgramItem> ItemAt(int32_t x, int32_t y, const std::string& title)
{
    auto item = std::make_unique<CProgramItem>();
    item->m_ptIcon = {x, y};
    item->m_strTitle = title;
    return item;
}

}  // namespace

TEST(SplitCommand, CutsAnAbsolutePathAtItsLastBackslashBeforeTheFirstSpace)
{
    const struct {
        std::string text, directory, command;
    } cases[] = {
        {"C:\\WIN\\NOTEPAD.EXE README.TXT", "C:\\WIN", "NOTEPAD.EXE README.TXT"},
        {"C:\\CALC.EXE", "C:", "CALC.EXE"},
        {"NOTEPAD.EXE", "", "NOTEPAD.EXE"},
        {"C:\\MY APPS\\X.EXE", "C:", "MY APPS\\X.EXE"},
        {"C:\\A\\B.EXE /F C:\\D\\E.TXT", "C:\\A", "B.EXE /F C:\\D\\E.TXT"},
        {"C:\\", "C:", ""},
        {"C:\\WIN\\", "C:\\WIN", ""},
        {"", "", ""},
        {"C:", "", "C:"},
        {"C:CALC.EXE", "", "C:CALC.EXE"},
        {"\\\\SERVER\\SHARE\\X.EXE", "", "\\\\SERVER\\SHARE\\X.EXE"},
        {"%windir%\\NOTEPAD.EXE", "", "%windir%\\NOTEPAD.EXE"},
        // Bytes, not characters: the trail byte 0x5C of a double-byte character splits too.
        {"C:\\\x95\x5CX.EXE", "C:\\\x95", "X.EXE"},
        {"C:\\DIR\\\x83\x41.EXE", "C:\\DIR", "\x83\x41.EXE"},
    };
    for (const auto& c : cases) {
        std::string directory = "stale", command = "stale";
        SplitCommand(c.text, directory, command);
        EXPECT_EQ(c.directory, directory) << c.text;
        EXPECT_EQ(c.command, command) << c.text;
    }
}

TEST(SortItemsByPosition, OrdersByYThenXAndLetsTheExchangesDecideTies)
{
    const struct {
        std::vector<IconPoint> points;  // titled A, B, C, ... in this order
        std::string expected;
    } cases[] = {
        {{{80, 0}, {10, 0}, {10, 40}}, "B,A,C"},
        // Equal keys: the exchange of C with A moves A behind B.
        {{{5, 1}, {5, 1}, {5, 0}}, "C,B,A"},
        {{{5, 1}, {5, 1}, {5, 1}}, "A,B,C"},
        {{{0, 0}, {0, -1}, {-5, -1}}, "C,B,A"},
        {{{INT_MAX, 0}, {INT_MIN, 0}, {0, INT_MIN}, {0, INT_MAX}}, "C,B,A,D"},
        {{}, ""},
        {{{3, 3}}, "A"},
    };
    for (const auto& c : cases) {
        std::vector<std::unique_ptr<CProgramItem>> items;
        for (size_t i = 0; i < c.points.size(); ++i)
            items.push_back(ItemAt(c.points[i].x, c.points[i].y, std::string(1, static_cast<char>('A' + i))));
        SortItemsByPosition(items);
        std::string order;
        for (const auto& item : items)
            order += (order.empty() ? "" : ",") + item->m_strTitle;
        EXPECT_EQ(c.expected, order);
    }
}

TEST(SortItemsByPosition, GivesTheSelectionSortsOrderWhateverTheTies)
{
    uint32_t seed = 12345;
    auto next = [&seed](uint32_t range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int32_t>((seed >> 16) % range);
    };
    for (int round = 0; round < 300; ++round) {
        const size_t n = static_cast<size_t>(next(70));
        const uint32_t spread = 1 + static_cast<uint32_t>(round % 4);  // few positions: many ties
        std::vector<IconPoint> points;
        std::vector<std::unique_ptr<CProgramItem>> items;
        for (size_t i = 0; i < n; ++i) {
            points.push_back({next(spread), next(spread)});
            items.push_back(ItemAt(points.back().x, points.back().y, std::to_string(i)));
        }
        // The selection sort itself, on the indices.
        std::vector<size_t> expected(n);
        for (size_t i = 0; i < n; ++i)
            expected[i] = i;
        for (size_t i = 0; i < n; ++i) {
            size_t best = i;
            for (size_t j = i + 1; j < n; ++j) {
                const IconPoint& c = points[expected[j]];
                const IconPoint& b = points[expected[best]];
                if (c.y < b.y || (c.y == b.y && c.x < b.x))
                    best = j;
            }
            std::swap(expected[i], expected[best]);
        }
        SortItemsByPosition(items);
        for (size_t i = 0; i < n; ++i)
            ASSERT_EQ(std::to_string(expected[i]), items[i]->m_strTitle) << "round " << round << ", place " << i;
    }
}

TEST(ProgramGroupLoad, DecodesNameItemsCommandsAndIconsInDisplayOrder)
{
    GroupRecordBuilder builder(u"Accessories", 0xA5);
    builder.Position(40, 20);
    builder.AddItem(GroupItem{u"Notepad", u"C:\\WIN\\NOTEPAD.EXE README.TXT", 80, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddItem(GroupItem{u"Paint", u"C:\\PBRUSH.EXE", 10, 0, SolidIcon(8, Rgb(0, 0, 255))});
    builder.AddItem(GroupItem{u"Clock", u"CLOCK.EXE", 10, 40, std::nullopt});
    builder.AddItem(GroupItem{u"\u30A2", u"C:\\\u8868X.EXE", 200, 40, std::nullopt});
    RecordLayout layout;
    const std::vector<uint8_t> bytes = builder.Build(&layout);

    CProgramGroup group;
    Lists lists;
    ASSERT_EQ(0, LoadInto(group, bytes, LOAD_ITEMS, &lists));
    EXPECT_EQ(kSource, group.m_strSource);
    EXPECT_EQ("Accessories", group.m_strName);
    EXPECT_TRUE(lists.names.empty());
    EXPECT_TRUE(lists.positions.empty());
    ASSERT_EQ("Paint,Notepad,Clock,\x83\x41", Titles(group));

    const CProgramItem& paint = *group.m_items[0];
    EXPECT_EQ("C:", paint.m_strDirectory);
    EXPECT_EQ("PBRUSH.EXE", paint.m_strCommand);
    EXPECT_EQ(layout.items[1].icon.info, paint.m_nIconInfo);
    EXPECT_EQ(paint.m_nIconInfo + 40 + 1024, paint.m_nIconBits);
    EXPECT_EQ(paint.m_nIconBits + 1024, paint.m_nIconMask);

    const CProgramItem& notepad = *group.m_items[1];
    EXPECT_EQ(80, notepad.m_ptIcon.x);
    EXPECT_EQ(0, notepad.m_ptIcon.y);
    EXPECT_EQ("C:\\WIN", notepad.m_strDirectory);
    EXPECT_EQ("NOTEPAD.EXE README.TXT", notepad.m_strCommand);
    EXPECT_EQ(0, notepad.m_bMinimized);
    // One plane of 4 bits: 64 bytes of colour table, 512 of image.
    EXPECT_EQ(layout.items[0].icon.info, notepad.m_nIconInfo);
    EXPECT_EQ(notepad.m_nIconInfo + 40 + 64, notepad.m_nIconBits);
    EXPECT_EQ(notepad.m_nIconBits + 512, notepad.m_nIconMask);
    EXPECT_EQ(layout.items[0].icon.mask, notepad.m_nIconMask);

    const CProgramItem& clock = *group.m_items[2];
    EXPECT_EQ("", clock.m_strDirectory);
    EXPECT_EQ("CLOCK.EXE", clock.m_strCommand);
    EXPECT_EQ(0u, clock.m_nIconInfo);
    EXPECT_EQ(0u, clock.m_nIconBits);
    EXPECT_EQ(0u, clock.m_nIconMask);

    // The command is split on the converted bytes.
    const CProgramItem& wide = *group.m_items[3];
    EXPECT_EQ("C:\\\x95", wide.m_strDirectory);
    EXPECT_EQ("X.EXE", wide.m_strCommand);
}

TEST(ProgramGroupLoad, ListFlagAppendsNameAndPositionAndItemsFlagRefillsTheGroup)
{
    GroupRecordBuilder builder(u"Games");
    builder.Position(0xFFF6, 2);
    builder.AddItem(u"Solitaire", u"SOL.EXE");
    const std::vector<uint8_t> bytes = builder.Build();

    CProgramGroup group;
    LoadOldGroup(group);
    const std::string before = Describe(group);
    Lists lists;
    lists.names = {"First"};
    lists.positions = {7};

    ASSERT_EQ(0, LoadInto(group, bytes, LOAD_LIST, &lists));
    EXPECT_EQ(before, Describe(group));
    EXPECT_EQ((std::vector<std::string>{"First", "Games"}), lists.names);
    EXPECT_EQ((std::vector<uint32_t>{7, 0x0002FFF6u}), lists.positions);

    ASSERT_EQ(0, LoadInto(group, bytes, LOAD_ITEMS | LOAD_LIST, &lists));
    EXPECT_EQ(3u, lists.names.size());
    EXPECT_EQ(3u, lists.positions.size());
    EXPECT_EQ("Games", group.m_strName);
    EXPECT_EQ("Solitaire", Titles(group));

    // Loading again replaces the items rather than adding to them.
    ASSERT_EQ(0, LoadInto(group, bytes, LOAD_ITEMS, &lists));
    EXPECT_EQ("Solitaire", Titles(group));
    EXPECT_EQ(3u, lists.names.size());
}

TEST(ProgramGroupLoad, ARefusedRecordChangesNeitherTheGroupNorTheLists)
{
    const std::vector<uint8_t> good = [] {
        GroupRecordBuilder builder(u"Good");
        builder.AddItem(u"A", u"A.EXE");
        return builder.Build();
    }();
    const struct {
        const char* what;
        std::function<std::vector<uint8_t>()> bytes;
    } cases[] = {
        {"shorter than the header", [&] { return std::vector<uint8_t>(good.begin(), good.begin() + 0x37); }},
        {"item table past the end", [] { return GroupRecordBuilder().ItemCountField(0xFFFF).Build(); }},
        {"name offset past the end",
         [&] {
             std::vector<uint8_t> b = good;
             PutU32(b, 0x24, static_cast<uint32_t>(b.size()));
             return b;
         }},
        {"name offset near 4 GB",
         [&] {
             std::vector<uint8_t> b = good;
             PutU32(b, 0x24, 0xFFFFFFFFu);
             return b;
         }},
        {"name without a terminator",
         [] {
             std::vector<uint8_t> b = GroupRecordBuilder().Build();
             PutU32(b, 0x24, AppendUnterminatedString(b, u"Lost"));
             return b;
         }},
    };

    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CProgramGroup group;
        LoadOldGroup(group);
        const std::string before = Describe(group);
        Lists lists;
        EXPECT_EQ(1, LoadInto(group, c.bytes(), LOAD_ITEMS | LOAD_LIST, &lists));
        EXPECT_EQ(before, Describe(group));
        EXPECT_TRUE(lists.names.empty());
        EXPECT_TRUE(lists.positions.empty());
    }

    CProgramGroup group;
    LoadOldGroup(group);
    const std::string before = Describe(group);
    Lists lists;
    EXPECT_EQ(1, LoadInto(group, good, LOAD_ITEMS | LOAD_LIST, &lists, 0));
    EXPECT_EQ(1, group.LoadFromRecord("", good.data(), good.size(), LOAD_ITEMS | LOAD_LIST, HostCodec(), lists.Ref()));
    EXPECT_EQ(1, group.LoadFromRecord(kSource, nullptr, 100, LOAD_ITEMS | LOAD_LIST, HostCodec(), lists.Ref()));
    EXPECT_EQ(before, Describe(group));
    EXPECT_TRUE(lists.names.empty());
}

TEST(ProgramGroupLoad, DamagedItemsAreLeftOutAndTheRestLoad)
{
    const struct {
        const char* what;
        std::function<void(std::vector<uint8_t>&, const ItemLayout&)> damage;
    } cases[] = {
        {"slot past the end",
         [](std::vector<uint8_t>& b, const ItemLayout&) { PutU32(b, 0x38 + 4, static_cast<uint32_t>(b.size())); }},
        {"item record across the end",
         [](std::vector<uint8_t>& b, const ItemLayout&) {
             PutU32(b, 0x38 + 4, static_cast<uint32_t>(b.size() - 31));
         }},
        {"slot near 4 GB", [](std::vector<uint8_t>& b, const ItemLayout&) { PutU32(b, 0x38 + 4, 0xFFFFFFF8u); }},
        {"title past the end",
         [](std::vector<uint8_t>& b, const ItemLayout& item) {
             PutU32(b, item.record + 0x14, static_cast<uint32_t>(b.size()));
         }},
        {"command near 4 GB",
         [](std::vector<uint8_t>& b, const ItemLayout& item) { PutU32(b, item.record + 0x18, 0xFFFFFFFEu); }},
        {"command without a terminator",
         [](std::vector<uint8_t>& b, const ItemLayout& item) {
             PutU32(b, item.record + 0x18, AppendUnterminatedString(b, u"C:\\RUNS\\OFF"));
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GroupRecordBuilder builder;
        builder.AddItem(u"A", u"A.EXE", 0, 0);
        builder.AddItem(u"B", u"B.EXE", 10, 0);
        builder.AddItem(u"C", u"C.EXE", 20, 0);
        RecordLayout layout;
        std::vector<uint8_t> bytes = builder.Build(&layout);
        c.damage(bytes, layout.items[1]);

        CProgramGroup group;
        ASSERT_EQ(0, LoadInto(group, bytes));
        EXPECT_EQ("A,C", Titles(group));
    }
}

TEST(ProgramGroupLoad, IconsThatCannotBeDrawnLeaveTheItemWithoutAnIcon)
{
    const struct {
        const char* what;
        IconImage icon;
        std::function<void(std::vector<uint8_t>&, const ItemLayout&)> damage;
    } cases[] = {
        {"24 bits per pixel", BlankIcon(1, 24), nullptr},
        {"mask one byte short", SolidIcon(4, 0), [](std::vector<uint8_t>& b, const ItemLayout&) { b.pop_back(); }},
        {"icon offset near 4 GB", SolidIcon(4, 0),
         [](std::vector<uint8_t>& b, const ItemLayout& item) { PutU32(b, item.record + 0x10, 0xFFFFFFF0u); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        GroupRecordBuilder builder;
        builder.AddItem(GroupItem{u"T", u"T.EXE", 0, 0, c.icon});
        RecordLayout layout;
        std::vector<uint8_t> bytes = builder.Build(&layout);
        if (c.damage)
            c.damage(bytes, layout.items[0]);

        CProgramGroup group;
        ASSERT_EQ(0, LoadInto(group, bytes));
        ASSERT_EQ("T", Titles(group));
        EXPECT_EQ(0u, group.m_items[0]->m_nIconInfo);
        EXPECT_EQ(0u, group.m_items[0]->m_nIconBits);
        EXPECT_EQ(0u, group.m_items[0]->m_nIconMask);
    }
}

TEST(ProgramGroupLoad, EmptySlotsMakeNoItemAndTakeNoTagIndex)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"A", u"A.EXE", 0, 0);
    builder.AddEmptySlot();
    builder.AddItem(u"B", u"B.EXE", 10, 0);
    builder.MinimizeTag(1);
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
    ASSERT_EQ("A,B", Titles(group));
    EXPECT_EQ(0, Find(group, "A")->m_bMinimized);
    EXPECT_EQ(1, Find(group, "B")->m_bMinimized);
}

TEST(ProgramGroupLoad, TagIndexesCountItemsAsBuiltBeforeTheyAreSorted)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"Right", u"R.EXE", 90, 0);
    builder.AddItem(u"Left", u"L.EXE", 0, 0);
    builder.MinimizeTag(0);
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
    ASSERT_EQ("Left,Right", Titles(group));
    EXPECT_EQ(1, Find(group, "Right")->m_bMinimized);
    EXPECT_EQ(0, Find(group, "Left")->m_bMinimized);
}

TEST(ProgramGroupLoad, DirectoryTagGoesInFrontOfTheCommandWithOneBackslash)
{
    const struct {
        std::u16string directory;
        std::u16string command;
        std::string expectedCommand;
        std::string expectedDirectory;
    } cases[] = {
        {u"D:\\APPS", u"TOOL.EXE", "D:\\APPS\\TOOL.EXE", ""},
        {u"D:\\APPS\\", u"TOOL.EXE", "D:\\APPS\\TOOL.EXE", ""},
        {u"D:\\APPS", u"TOOL.EXE /Q", "D:\\APPS\\TOOL.EXE /Q", ""},
        // The directory of a split command stays; the tag goes before what is left.
        {u"D:\\X", u"C:\\WIN\\NOTEPAD.EXE", "D:\\X\\NOTEPAD.EXE", "C:\\WIN"},
        // A final double-byte character whose trail byte is '\' is no backslash.
        {std::u16string(u"D:\\") + kTrailBackslashChar, u"TOOL.EXE", "D:\\\x95\x5C\\TOOL.EXE", ""},
        {std::u16string(u"D:\\") + kTrailBackslashChar + u"\\", u"TOOL.EXE", "D:\\\x95\x5C\\TOOL.EXE", ""},
        {std::u16string(u"D:\\") + kTrailBackslashChar + kTrailBackslashChar2, u"T.EXE",
         "D:\\\x95\x5C\x94\x5C\\T.EXE", ""},
    };
    for (const auto& c : cases) {
        GroupRecordBuilder builder;
        builder.AddItem(u"T", c.command);
        builder.DirectoryTag(0, c.directory);
        CProgramGroup group;
        ASSERT_EQ(0, LoadInto(group, builder.Build()));
        ASSERT_EQ(1, group.ItemCount());
        EXPECT_EQ(c.expectedCommand, group.m_items[0]->m_strCommand);
        EXPECT_EQ(c.expectedDirectory, group.m_items[0]->m_strDirectory);
    }
}

// The code page lacks U+0414: an item whose command or directory holds it would start
// another program, one whose title does only shows a stand-in.
TEST(ProgramGroupLoad, AnItemWhoseCommandOrDirectoryTheCodePageLacksIsMarkedInexact)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"\u0414", u"C:\\APP.EXE", 0, 0);
    builder.AddItem(u"Command", u"C:\\APP.EXE \u0414", 10, 0);
    builder.AddItem(u"Directory", u"APP.EXE", 20, 0);
    builder.DirectoryTag(2, u"D:\\\u0414");
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
    ASSERT_EQ(3, group.ItemCount());
    EXPECT_EQ("?", group.m_items[0]->m_strTitle);
    EXPECT_TRUE(group.m_items[0]->m_bExact);
    EXPECT_FALSE(group.m_items[1]->m_bExact);
    EXPECT_FALSE(group.m_items[2]->m_bExact);
}

TEST(ProgramGroupLoad, TagsForNoItemOrWithoutTheirTextArePassedOver)
{
    GroupRecordBuilder builder;
    builder.AddItem(u"A", u"A.EXE", 0, 0);
    builder.AddItem(u"B", u"B.EXE", 10, 0);
    builder.MinimizeTag(0xFFFF);
    builder.MinimizeTag(2);
    builder.DirectoryTag(2, u"D:\\");
    builder.RawTag(0x8101, 0, Utf16Bytes(u"D:\\OPEN", false));
    builder.RawTag(0x8102, 0, {0, 0, 0, 0});
    builder.RawTag(0x1234, 0, Utf16Bytes(u"D:\\"));
    builder.MinimizeTag(1);  // still reached after the tags passed over
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
    ASSERT_EQ("A,B", Titles(group));
    EXPECT_EQ("A.EXE", Find(group, "A")->m_strCommand);
    EXPECT_EQ(0, Find(group, "A")->m_bMinimized);
    EXPECT_EQ(1, Find(group, "B")->m_bMinimized);
}

TEST(ProgramGroupLoad, TheLastOfAFullItemTableIsReached)
{
    // 0xFFFF slots: a 16-bit slot counter must reach the last without wrapping round.
    GroupRecordBuilder builder;
    for (int i = 0; i < 0xFFFE; ++i)
        builder.AddEmptySlot();
    builder.AddItem(u"Last", u"LAST.EXE");
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, builder.Build()));
    EXPECT_EQ("Last", Titles(group));
}

TEST(ProgramGroupLoad, EverySlotOnOneLongItemGivesEveryItemAtTheCostOfWhatIsKept)
{
    size_t mostUnits = 0;
    CodePage codec = HostCodec();
    codec.fromWide = [&mostUnits, convert = codec.fromWide](const char16_t* units, size_t count, bool& exact) {
        mostUnits = std::max(mostUnits, count);
        return convert(units, count, exact);
    };
    const std::vector<uint8_t> bytes = OneItemInEverySlotRecord(40000);
    CProgramGroup group;
    Lists lists;
    ASSERT_EQ(0, group.LoadFromRecord(kSource, bytes.data(), bytes.size(), LOAD_ITEMS, codec, lists.Ref()));
    EXPECT_LE(mostUnits, kMaxStringUnits);
    ASSERT_EQ(0xFFFF, group.ItemCount());
    const CProgramItem& first = *group.m_items.front();
    EXPECT_EQ(std::string(255, 'T'), first.m_strTitle);
    EXPECT_EQ("C:\\APPS", first.m_strDirectory);
    EXPECT_EQ("ONE.EXE", first.m_strCommand);
    EXPECT_NE(0u, first.m_nIconInfo);
    for (const auto& item : group.m_items) {
        ASSERT_EQ(first.m_strTitle, item->m_strTitle);
        ASSERT_EQ(first.m_nIconMask, item->m_nIconMask);
    }
}

namespace {

GroupRecordBuilder RichGroup()
{
    GroupRecordBuilder builder(u"Main");
    builder.Position(20, 10);
    builder.AddItem(GroupItem{u"A", u"C:\\WIN\\A.EXE /X", 80, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddEmptySlot();
    builder.AddItem(GroupItem{u"B", u"B.EXE", 10, 0, QuarterIcon(8, Rgb(0, 255, 0), 0, TransparentMask())});
    builder.AddItem(GroupItem{u"C", u"C.EXE", 10, 40, std::nullopt});
    builder.DirectoryTag(2, u"D:\\C");
    builder.MinimizeTag(0);
    builder.RawTag(0x9999, 1, {1, 2, 3});
    return builder;
}

// What must hold after any load of any bytes.
void ExpectSane(const CProgramGroup& group, size_t size)
{
    EXPECT_LE(group.m_strName.size(), 255u);
    for (const auto& item : group.m_items) {
        ASSERT_NE(nullptr, item);
        EXPECT_LE(item->m_strTitle.size(), 255u);
        const bool none = item->m_nIconInfo == 0 && item->m_nIconBits == 0 && item->m_nIconMask == 0;
        const bool inside = item->m_nIconInfo < item->m_nIconBits && item->m_nIconBits < item->m_nIconMask &&
                            uint64_t{item->m_nIconMask} + 128 <= size;
        EXPECT_TRUE(none || inside) << item->m_nIconInfo << " " << item->m_nIconMask;
    }
}

}  // namespace

TEST(ProgramGroupLoad, SurvivesTheRecordCutAtEveryLength)
{
    RecordLayout layout;
    const std::vector<uint8_t> bytes = RichGroup().Build(&layout);
    const size_t minimizeTagEnd = layout.tags[1] + 12;

    for (size_t size = 0; size <= bytes.size(); ++size) {
        SCOPED_TRACE(testing::Message() << "size " << size);
        CProgramGroup group;
        LoadOldGroup(group);
        const std::string before = Describe(group);
        Lists lists;
        const uint16_t status = LoadInto(group, bytes, LOAD_ITEMS | LOAD_LIST, &lists, size);
        if (size < layout.name + 10) {
            ASSERT_EQ(1, status);
            EXPECT_EQ(before, Describe(group));
            EXPECT_TRUE(lists.names.empty());
            continue;
        }
        ASSERT_EQ(0, status);
        EXPECT_EQ(std::vector<std::string>{"Main"}, lists.names);
        EXPECT_EQ(std::vector<uint32_t>{0x000A0014u}, lists.positions);
        ExpectSane(group, size);
        if (size >= layout.segmentSize) {
            ASSERT_EQ("B,A,C", Titles(group));
            EXPECT_EQ(size >= minimizeTagEnd, Find(group, "A")->m_bMinimized == 1);
            EXPECT_NE(0u, Find(group, "B")->m_nIconMask);
        }
    }
    CProgramGroup group;
    ASSERT_EQ(0, LoadInto(group, bytes));
    EXPECT_EQ("D:\\C\\C.EXE", Find(group, "C")->m_strCommand);
}

TEST(ProgramGroupLoad, SurvivesAnySingleByteDamaged)
{
    const std::vector<uint8_t> bytes = RichGroup().Build();
    for (size_t at = 0; at < bytes.size(); ++at) {
        for (uint8_t value : {uint8_t{0x00}, uint8_t{0x7F}, uint8_t{0xFF}}) {
            std::vector<uint8_t> damaged = bytes;
            damaged[at] = value;
            CProgramGroup group;
            Lists lists;
            const uint16_t status = LoadInto(group, damaged, LOAD_ITEMS | LOAD_LIST, &lists);
            ASSERT_LE(status, 1) << at;
            ExpectSane(group, damaged.size());
        }
    }
}
