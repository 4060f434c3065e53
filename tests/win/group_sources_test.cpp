// Group records in the real registry of the test prefix: reading one record, finding
// every group under the three keys, their display order, and the current group.
#include "app/launch_app.h"
#include "catalog/group_sources.h"
#include "tests/support/group_record_builder.h"
#include "tests/support/app_fixture.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {


std::vector<uint8_t> GroupAt(const std::u16string& name, uint16_t left, uint16_t top)
{
    GroupRecordBuilder builder(name);
    builder.Position(left, top);
    builder.AddItem(u"Notepad", u"C:\\WINDOWS\\NOTEPAD.EXE README.TXT", 10, 0);
    builder.AddItem(u"Clock", u"CLOCK.EXE", 0, 0);
    return builder.Build();
}

class GroupSourcesTest : public AppTest {
protected:
    std::vector<std::string> Names() const { return m_app.m_groupNames; }
};

TEST_F(GroupSourcesTest, ReadGroupRecordReturnsTheDefaultValueOrNothing)
{
    std::vector<uint8_t> record = GroupAt(u"Main", 0, 0);
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Main", record));
    ASSERT_TRUE(PutGroupRecord(HKEY_LOCAL_MACHINE, kMachineGroups, "Shared", record));
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, kUserAnsiGroups, "NoValue", {}));

    uint32_t size = 99;
    std::unique_ptr<uint8_t[]> data = ReadGroupRecord("UUNICODE Program Groups\\Main", &size);
    ASSERT_NE(nullptr, data);
    ASSERT_EQ(record.size(), size);
    EXPECT_EQ(record, std::vector<uint8_t>(data.get(), data.get() + size));

    // "L" is the machine's root; any other letter the user's.
    EXPECT_NE(nullptr, ReadGroupRecord("LSOFTWARE\\Program Groups\\Shared", &size));
    EXPECT_NE(nullptr, ReadGroupRecord("XUNICODE Program Groups\\Main", &size));
    EXPECT_EQ(nullptr, ReadGroupRecord("USOFTWARE\\Program Groups\\Shared", &size));

    for (const char* missing : {"UUNICODE Program Groups\\Absent", "UProgram Groups\\NoValue", "", "U"}) {
        size = 99;
        EXPECT_EQ(nullptr, ReadGroupRecord(missing, &size)) << missing;
        if (*missing) {
            EXPECT_EQ(0u, size) << missing;
        }
    }
    EXPECT_EQ(nullptr, ReadGroupRecord("UUNICODE Program Groups\\Main", nullptr));
}

TEST_F(GroupSourcesTest, GroupsAreListedTopFirstThenLeftWithNegativeLeftLast)
{
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "A", GroupAt(u"At 300,0", 300, 0));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "B", GroupAt(u"At 0,200", 0, 200));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "C", GroupAt(u"At 0,0", 0, 0));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "D", GroupAt(u"At -10,0", static_cast<uint16_t>(-10), 0));
    m_app.LoadGroups();
    EXPECT_EQ((std::vector<std::string>{"At 0,0", "At 300,0", "At -10,0", "At 0,200"}), Names());
    EXPECT_EQ((std::vector<std::string>{"UUNICODE Program Groups\\C", "UUNICODE Program Groups\\A",
                                        "UUNICODE Program Groups\\D", "UUNICODE Program Groups\\B"}),
              m_app.m_groupSources);
    EXPECT_EQ((std::vector<uint32_t>{0u, 300u, 0xFFF6u, 200u << 16}), m_app.m_groupPositions);
}

TEST_F(GroupSourcesTest, EverySourceIsReadAndAUserGroupUnderBothKeysIsListedTwice)
{
    PutGroupRecord(HKEY_LOCAL_MACHINE, kMachineGroups, "Common", GroupAt(u"Common", 0, 50));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Mine", GroupAt(u"Mine", 0, 10));
    PutGroupRecord(HKEY_CURRENT_USER, kUserAnsiGroups, "Mine", GroupAt(u"Mine", 0, 10));
    PutGroupRecord(HKEY_CURRENT_USER, kUserAnsiGroups, "Empty", {});  // no default value: not a group
    m_app.LoadGroups();
    EXPECT_EQ((std::vector<std::string>{"Mine", "Mine", "Common"}), Names());
    EXPECT_EQ((std::vector<std::string>{"UUNICODE Program Groups\\Mine", "UProgram Groups\\Mine",
                                        "LSOFTWARE\\Program Groups\\Common"}),
              m_app.m_groupSources);

    // Without the machine's key the user's groups are still found.
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kMachineGroups);
    m_app.LoadGroups();
    EXPECT_EQ((std::vector<std::string>{"Mine", "Mine"}), Names());
}

TEST_F(GroupSourcesTest, TheGroupSettingIsClampedAndTheCurrentGroupLoaded)
{
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "A", GroupAt(u"First", 0, 0));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "B", GroupAt(u"Second", 0, 1));
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "C", GroupAt(u"Third", 0, 2));

    m_app.m_nGroup = 7;
    m_app.LoadGroups();
    EXPECT_EQ(2, m_app.m_nGroup);
    EXPECT_EQ("Third", m_app.m_group.m_strName);
    EXPECT_EQ("UUNICODE Program Groups\\C", m_app.m_group.m_strSource);
    ASSERT_EQ(2, m_app.m_group.ItemCount());
    // Display order, and the command split into directory and command.
    EXPECT_EQ("Clock", m_app.m_group.m_items[0]->m_strTitle);
    EXPECT_EQ("C:\\WINDOWS", m_app.m_group.m_items[1]->m_strDirectory);
    EXPECT_EQ("NOTEPAD.EXE README.TXT", m_app.m_group.m_items[1]->m_strCommand);

    m_app.m_nGroup = -4;
    m_app.LoadGroups();
    EXPECT_EQ(0, m_app.m_nGroup);
    EXPECT_EQ("First", m_app.m_group.m_strName);

    m_app.m_nGroup = 1;
    m_app.LoadGroups();
    EXPECT_EQ(1, m_app.m_nGroup);
    EXPECT_EQ("Second", m_app.m_group.m_strName);
}

TEST_F(GroupSourcesTest, WithoutAnyGroupTheSettingIsKeptAndTheCurrentGroupIsEmpty)
{
    m_app.m_nGroup = 5;
    m_app.m_group.m_items.push_back(std::make_unique<CProgramItem>());
    m_app.LoadGroups();
    EXPECT_EQ(5, m_app.m_nGroup);
    EXPECT_TRUE(m_app.m_groupSources.empty());
    EXPECT_EQ(0, m_app.m_group.ItemCount());
}

TEST_F(GroupSourcesTest, UnreadableRecordsAreLeftOutOfEveryList)
{
    std::vector<uint8_t> good = GroupAt(u"Good", 0, 0);
    std::vector<uint8_t> shortHeader(good.begin(), good.begin() + 20);
    std::vector<uint8_t> badName = good;
    PutU32(badName, 0x24, 0x7FFFFFF0);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Good", good);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Short", shortHeader);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "BadName", badName);
    m_app.LoadGroups();
    EXPECT_EQ((std::vector<std::string>{"Good"}), Names());
    EXPECT_EQ(1u, m_app.m_groupSources.size());
    EXPECT_EQ(1u, m_app.m_groupPositions.size());
}

// The list reads only the start of each record where that holds the header, the item
// table and the name; any other record is read whole and judged as before.
TEST_F(GroupSourcesTest, RecordsWhoseTableOrNameLiesBeyondTheirStartAreListedFromTheWholeRecord)
{
    std::vector<uint8_t> farName = GroupAt(u"Near", 0, 30);
    farName.resize(farName.size() + 4096, 0xEE);
    PutU32(farName, 0x24, static_cast<uint32_t>(farName.size()));
    const std::vector<uint8_t> name = Utf16Bytes(u"Far");
    farName.insert(farName.end(), name.begin(), name.end());
    std::vector<uint8_t> unterminated = farName;
    PutU32(unterminated, 0x24, AppendUnterminatedString(unterminated, u"Unended"));
    GroupRecordBuilder many(u"Many");
    many.Position(0, 20);
    for (int i = 0; i < 300; ++i)
        many.AddItem(u"Item", u"X.EXE", i, 0);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Far", farName);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Unended", unterminated);
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Many", many.Build());
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "Small", GroupAt(u"Small", 0, 10));
    m_app.LoadGroups();
    EXPECT_EQ((std::vector<std::string>{"Small", "Many", "Far"}), Names());
    EXPECT_EQ((std::vector<uint32_t>{10u << 16, 20u << 16, 30u << 16}), m_app.m_groupPositions);
    EXPECT_EQ(2, m_app.m_group.ItemCount());
}

// Key names are read in UTF-16 and converted exactly. Under 1252, "Dvo\u0159\u00E1k"
// would come over by best fit as "Dvorak", another group's key; under UTF-8 every name
// but one holding a lone surrogate comes over.
TEST_F(GroupSourcesTest, KeyNamesTheCodePageHoldsAreListedAndOthersPassedOver)
{
    const wchar_t* keys[] = {L"Dvorak", L"Dvo\u0159\u00E1k", L"Caf\u00E9", L"\u041C\u043E\u0438", L"Odd\xD800"};
    for (uint16_t i = 0; i < 5; ++i) {
        const std::vector<uint8_t> record = GroupAt(u"Same", i, 0);
        const std::wstring key = L"UNICODE Program Groups\\" + std::wstring(keys[i]);
        ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), nullptr, REG_BINARY, record.data(),
                                                 static_cast<DWORD>(record.size())));
    }
    m_app.LoadGroups();
    const std::string prefix = "UUNICODE Program Groups\\";
    std::vector<std::string> expected = {prefix + "Dvorak", prefix + "Caf\xE9"};
    if (PlatformCodePage().utf8)
        expected = {prefix + "Dvorak", prefix + "Dvo\xC5\x99\xC3\xA1k", prefix + "Caf\xC3\xA9",
                    prefix + "\xD0\x9C\xD0\xBE\xD0\xB8"};
    EXPECT_EQ(expected, m_app.m_groupSources);
    CProgramGroup group;
    EXPECT_EQ(0, group.Load(m_app.m_groupSources.back(), LOAD_ITEMS));
}

TEST_F(GroupSourcesTest, LoadOfAMissingRecordFailsAndChangesNothing)
{
    PutGroupRecord(HKEY_CURRENT_USER, kUserGroups, "A", GroupAt(u"Kept", 0, 0));
    CProgramGroup group;
    ASSERT_EQ(0, group.Load("UUNICODE Program Groups\\A", LOAD_ITEMS));
    EXPECT_EQ(1, group.Load("UUNICODE Program Groups\\Gone", LOAD_ITEMS | LOAD_LIST));
    EXPECT_EQ(1, group.Load("", LOAD_ITEMS));
    EXPECT_EQ("Kept", group.m_strName);
    EXPECT_EQ(2, group.ItemCount());
    EXPECT_TRUE(m_app.m_groupNames.empty());
}

TEST_F(GroupSourcesTest, TheSystemCodePageConversionKeepsWithin255BytesOnWholeCharactersAndSaysWhenInexact)
{
    const CodePage& codec = PlatformCodePage();
    const bool utf8 = codec.utf8;
    bool exact = false;
    std::u16string longAscii(300, u'x');
    longAscii.push_back(u'\0');
    EXPECT_EQ(std::string(255, 'x'), codec.fromWide(longAscii.data(), longAscii.size(), exact));
    EXPECT_TRUE(exact);
    std::u16string cjk(100, u'\u4E2D');
    cjk.push_back(u'\0');
    const std::string cut = codec.fromWide(cjk.data(), cjk.size(), exact);
    EXPECT_EQ(utf8 ? 255u : 100u, cut.size()) << "85 whole characters of three bytes, or 100 stand-ins";
    EXPECT_EQ(utf8, exact);

    // Accented Latin is held whole by both; Cyrillic and a letter that best fit would
    // flatten only by UTF-8; a lone surrogate by neither. No text is flattened.
    std::u16string plain = u"Caf\u00E9";
    plain.push_back(u'\0');
    EXPECT_EQ(utf8 ? "Caf\xC3\xA9" : "Caf\xE9", codec.fromWide(plain.data(), plain.size(), exact));
    EXPECT_TRUE(exact);
    for (const std::u16string& lacking : {std::u16string(u"\u0414\0", 2), std::u16string(u"Dvo\u0159\u00E1k\0", 7)}) {
        const std::string text = codec.fromWide(lacking.data(), lacking.size(), exact);
        EXPECT_EQ(utf8, exact) << text;
        EXPECT_EQ(std::string::npos, text.find("Dvor")) << "no best fit";
    }
    std::string ansi;
    EXPECT_FALSE(AnsiFromWide(L"a\xD800z", 3, ansi));
    EXPECT_EQ(3u, ansi.size() - (utf8 ? 2 : 0)) << "a stand-in for the surrogate";
    EXPECT_TRUE(AnsiFromWide(L"", 0, ansi));
    EXPECT_EQ("", ansi);

    EXPECT_TRUE(EndsWithBackslash("D:\\APPS\\", codec));
    EXPECT_FALSE(EndsWithBackslash("D:\\APPS", codec));
    EXPECT_FALSE(EndsWithBackslash("", codec));
}

}  // namespace
