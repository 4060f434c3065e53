// qlgroup.exe run as a user runs it, against the real registry and real shortcut files
// made through the shell's link object.
#include "catalog/group_sources.h"
#include "catalog/program_group.h"
#include "res/qlgroup_resource.h"
#include "tests/support/qlgroup_fixtures.h"
#include "tests/support/recorder_log.h"
#include "tests/support/win_fixtures.h"

#include <gtest/gtest.h>

#include <map>
#include <sddl.h>
#include <shlobj.h>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

const wchar_t kUserGroupsW[] = L"UNICODE Program Groups";
const uint32_t kRed = Rgb(255, 0, 0);
const uint32_t kBlue = Rgb(0, 0, 255);

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Every stored user group, by key name.
std::map<std::wstring, std::vector<uint8_t>> UserGroupRecords()
{
    std::map<std::wstring, std::vector<uint8_t>> records;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kUserGroupsW, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return records;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        records[name] = StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, name);
    }
    RegCloseKey(key);
    return records;
}

// A stored group as the launcher decodes it.
struct Decoded {
    bool ok = false;
    std::vector<uint8_t> record;
    CProgramGroup group;
    uint32_t position = 0;
};

void DecodeStored(const std::wstring& name, Decoded& out)
{
    out.record = StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, name);
    std::vector<std::string> names;
    std::vector<uint32_t> positions;
    out.ok = !out.record.empty() && out.group.LoadFromRecord("U", out.record.data(), out.record.size(),
                                                             LOAD_ITEMS | LOAD_LIST, PlatformCodePage(),
                                                             GroupLists{&names, &positions}) == 0;
    out.position = out.ok ? positions[0] : 0;
}

// The colour of pixel (x, y), from the top, of an item's stored icon (1-plane icons).
uint32_t IconColour(const Decoded& decoded, const CProgramItem& item, int x, int y)
{
    const std::vector<uint8_t>& r = decoded.record;
    const unsigned bits = GetU16(r, item.m_nIconInfo + 14);
    const size_t at = item.m_nIconBits + static_cast<size_t>(31 - y) * 4 * bits + static_cast<size_t>(x) * bits / 8;
    const unsigned index = (r.at(at) >> (8 - bits - (static_cast<unsigned>(x) * bits) % 8)) & ((1u << bits) - 1);
    return GetU32(r, item.m_nIconInfo + GetU32(r, item.m_nIconInfo) + 4 * index) & 0xFFFFFF;
}

bool IconTransparent(const Decoded& decoded, const CProgramItem& item, int x, int y)
{
    const uint8_t byte = decoded.record.at(item.m_nIconMask + static_cast<size_t>(31 - y) * 4 + static_cast<size_t>(x) / 8);
    return ((byte >> (7 - x % 8)) & 1) != 0;
}

std::wstring TempFile(const wchar_t* name)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + name;
}

// A red top-left quarter on blue, the bottom four rows transparent.
IconImage TestIcon()
{
    IconMask mask{};
    for (int y = 28; y < 32; ++y)
        mask[y] = 0xFFFFFFFFu;
    return QuarterIcon(4, kRed, kBlue, mask);
}

class QlgroupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(QlgroupPath().empty()) << "QLGROUP_EXE is not set";
        m_recorder = Wide(RecorderPath());
        ASSERT_FALSE(m_recorder.empty()) << "QUILLBAR_RECORDER is not set";
        ClearGroups();
        m_icon = TempFile(L"qlgroup-test.ico");
        ASSERT_TRUE(WriteIconFile(m_icon, TestIcon()));
        // A group written by someone else, which no command here may touch.
        GroupRecordBuilder other(u"Other");
        other.Position(300, 5);
        other.AddItem(GroupItem{u"Keep", u"C:\\KEEP.EXE", 0, 0, SolidIcon(4, Rgb(1, 2, 3))});
        ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, "UNICODE Program Groups", "Other", other.Build()));
        m_other = StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Other");
    }

    void TearDown() override
    {
        EXPECT_EQ(m_other, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Other")) << "another group was changed";
        ClearGroups();
        DeleteFileW(m_icon.c_str());
    }

    std::wstring m_recorder, m_icon;
    std::vector<uint8_t> m_other;
};

TEST_F(QlgroupTest, MakesGroupsAndItemsThatTheLauncherReads)
{
    ToolRun run = RunQlgroup({L"add", L"Tools"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    Decoded tools;
    DecodeStored(L"Tools", tools);
    ASSERT_TRUE(tools.ok);
    EXPECT_EQ("Tools", tools.group.m_strName);
    EXPECT_GT(tools.position, (5u << 16) | 300u) << "a new group comes after the existing ones";

    run = RunQlgroup({L"add-item", L"Tools", L"--title", L"Recorder", L"--command", m_recorder + L" one two",
                      L"--dir", L"C:\\windows", L"--minimized", L"--icon", m_icon + L",0"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    // The program's own icon: the launcher has one.
    run = RunQlgroup({L"add-item", L"Tools", L"--title", L"Bar", L"--command", Wide(LauncherPath())});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    // The recorder has none: the item is still written, and the user told.
    run = RunQlgroup({L"add-item", L"Tools", L"--title", L"Plain", L"--command", m_recorder});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.err.find("No icon")) << run.err;

    DecodeStored(L"Tools", tools);
    ASSERT_TRUE(tools.ok);
    ASSERT_EQ(3u, tools.group.m_items.size());
    const CProgramItem& recorder = *tools.group.m_items[0];
    EXPECT_EQ("Recorder", recorder.m_strTitle);
    EXPECT_EQ(RecorderPath() + " one two", recorder.m_strCommand);
    EXPECT_EQ("C:\\windows", recorder.m_strDirectory);
    EXPECT_EQ(1, recorder.m_bMinimized);
    ASSERT_NE(0u, recorder.m_nIconInfo);
    EXPECT_EQ(kRed, IconColour(tools, recorder, 2, 2));
    EXPECT_EQ(kBlue, IconColour(tools, recorder, 20, 2));
    EXPECT_EQ(kBlue, IconColour(tools, recorder, 2, 20));
    EXPECT_FALSE(IconTransparent(tools, recorder, 2, 27));
    EXPECT_TRUE(IconTransparent(tools, recorder, 2, 29));
    EXPECT_EQ("Bar", tools.group.m_items[1]->m_strTitle);
    EXPECT_NE(0u, tools.group.m_items[1]->m_nIconInfo);
    EXPECT_EQ("Plain", tools.group.m_items[2]->m_strTitle);
    EXPECT_EQ(0u, tools.group.m_items[2]->m_nIconInfo);
    EXPECT_EQ(0, tools.group.m_items[2]->m_bMinimized);

    run = RunQlgroup({L"show", L"Tools"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("item: Recorder\n")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("minimized: yes  icon: yes")) << run.out;
    run = RunQlgroup({L"list"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    const size_t other = run.out.find("\tOther\t"), mine = run.out.find("\tTools\t");
    ASSERT_NE(std::string::npos, other) << run.out;
    ASSERT_NE(std::string::npos, mine) << run.out;
    EXPECT_LT(other, mine) << "listed in the launcher's order";

    run = RunQlgroup({L"remove-item", L"Tools", L"Bar"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    DecodeStored(L"Tools", tools);
    ASSERT_EQ(2u, tools.group.m_items.size());
    EXPECT_EQ("Plain", tools.group.m_items[1]->m_strTitle);

    EXPECT_EQ(1u, RunQlgroup({L"remove-item", L"Tools", L"Bar"}).exitCode);
    EXPECT_EQ(1u, RunQlgroup({L"add", L"Tools"}).exitCode);
    EXPECT_EQ(0u, RunQlgroup({L"remove", L"Tools"}).exitCode);
    EXPECT_TRUE(StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Tools").empty());
    EXPECT_EQ(1u, RunQlgroup({L"remove", L"Tools"}).exitCode);
    EXPECT_EQ(1u, RunQlgroup({L"show", L"Tools"}).exitCode);
}

TEST_F(QlgroupTest, UsageMistakesExitWithTwo)
{
    EXPECT_EQ(2u, RunQlgroup({}).exitCode);
    EXPECT_EQ(2u, RunQlgroup({L"frobnicate"}).exitCode);
    EXPECT_EQ(2u, RunQlgroup({L"add"}).exitCode);
    EXPECT_EQ(2u, RunQlgroup({L"add-item", L"Other", L"--title", L"T"}).exitCode);
    EXPECT_EQ(2u, RunQlgroup({L"add-item", L"Other", L"--title"}).exitCode);
    EXPECT_EQ(2u, RunQlgroup({L"list", L"--loud"}).exitCode);
    const ToolRun run = RunQlgroup({L"export", L"Other"});
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("Usage")) << run.err;
}

TEST_F(QlgroupTest, BadInputIsRefusedWithAMessageAndStoresNothing)
{
    ASSERT_EQ(0u, RunQlgroup({L"add", L"Tools"}).exitCode);
    const auto before = UserGroupRecords();
    struct Case {
        std::vector<std::wstring> arguments;
        const char* message;
    } cases[] = {
        {{L"add", std::wstring(300, L'n')}, "cannot be used"},
        {{L"add", L"A\\B"}, "cannot be used"},
        {{L"add-item", L"Tools", L"--title", std::wstring(300, L't'), L"--command", m_recorder}, "cannot be used"},
        {{L"add-item", L"Tools", L"--title", L"T", L"--command", L"C:\\NOWHERE\\MISSING.EXE"}, "does not exist"},
        {{L"add-item", L"Tools", L"--title", L"T", L"--command", m_recorder, L"--dir", L"C:\\My Dir"},
         "working directory"},
        {{L"add-item", L"Tools", L"--title", L"T", L"--command", m_recorder + L" " + std::wstring(300, L'a')},
         "too long"},
        {{L"add-item", L"Missing", L"--title", L"T", L"--command", m_recorder}, "no group"},
        {{L"import", TempFile(L"qlgroup-nothing-here.grp")}, "Cannot read"},
        // A lone surrogate converts exactly to no code page, UTF-8 included.
        {{L"add", L"Odd\xD800"}, "code page cannot show"},
        {{L"add-item", L"Tools", L"--title", L"T\xD800", L"--command", m_recorder}, "code page cannot show"},
        {{L"add-item", L"Tools", L"--title", L"T", L"--command", m_recorder, L"--dir", L"C:\\\xDC00"},
         "code page cannot show"},
        {{L"export", L"Missing", TempFile(L"qlgroup-missing.grp")}, "no group"},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunQlgroup(c.arguments);
        EXPECT_EQ(1u, run.exitCode) << c.message;
        EXPECT_NE(std::string::npos, run.err.find(c.message)) << run.err;
    }
    EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesW(TempFile(L"qlgroup-missing.grp").c_str()));

    // A damaged stored group is reported, not rewritten.
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, "UNICODE Program Groups", "Damaged", {1, 2, 3}));
    const ToolRun damaged =
        RunQlgroup({L"add-item", L"Damaged", L"--title", L"T", L"--command", m_recorder});
    EXPECT_EQ(1u, damaged.exitCode);
    EXPECT_NE(std::string::npos, damaged.err.find("not one the launcher reads")) << damaged.err;
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Damaged"));
    const ToolRun listed = RunQlgroup({L"list"});
    EXPECT_NE(std::string::npos, listed.out.find("Damaged\trefused")) << listed.out;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"UNICODE Program Groups\\Damaged");
    // A key the launcher passes over, as its name cannot be had in the code page.
    const std::vector<uint8_t> odd = GroupRecordBuilder(u"Odd").Build();
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, L"UNICODE Program Groups\\Odd\xD800", nullptr,
                                             REG_BINARY, odd.data(), static_cast<DWORD>(odd.size())));
    const ToolRun oddList = RunQlgroup({L"list"});
    EXPECT_NE(std::string::npos, oddList.out.find("\trefused: its key name holds")) << oddList.out;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"UNICODE Program Groups\\Odd\xD800");

    // Partly damaged: an item whose title lies outside, and a tag list without its end.
    GroupRecordBuilder partly(u"Partly");
    partly.AddItem(u"Good", u"C:\\GOOD.EXE");
    partly.AddItem(u"Bad", u"C:\\BAD.EXE");
    partly.MinimizeTag(0).WithoutEndTag();
    RecordLayout layout;
    std::vector<uint8_t> record = partly.Build(&layout);
    PutU32(record, layout.items[1].record + 0x14, 0xFFFFFF);
    ASSERT_TRUE(PutGroupRecord(HKEY_CURRENT_USER, "UNICODE Program Groups", "Partly", record));
    const ToolRun partial = RunQlgroup({L"list"});
    EXPECT_NE(std::string::npos, partial.out.find("Partly\t1 damaged items are left out")) << partial.out;
    EXPECT_NE(std::string::npos, partial.out.find("Partly\tthe tag list is damaged")) << partial.out;
    RegDeleteTreeW(HKEY_CURRENT_USER, L"UNICODE Program Groups\\Partly");

    EXPECT_EQ(before, UserGroupRecords());
}

TEST_F(QlgroupTest, ExportThenImportGivesBackTheSameRecordAndCorruptFilesAreRefused)
{
    ASSERT_EQ(0u, RunQlgroup({L"add", L"Trip"}).exitCode);
    ASSERT_EQ(0u, RunQlgroup({L"add-item", L"Trip", L"--title", L"One", L"--command", m_recorder + L" 1", L"--dir",
                              L"C:\\windows", L"--icon", m_icon})
                      .exitCode);
    ASSERT_EQ(0u, RunQlgroup({L"add-item", L"Trip", L"--title", L"Two", L"--command", m_recorder, L"--minimized"})
                      .exitCode);
    const std::vector<uint8_t> original = StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Trip");
    const std::wstring file = TempFile(L"qlgroup-trip.grp");
    ToolRun run = RunQlgroup({L"export", L"Trip", file});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    ASSERT_EQ(0u, RunQlgroup({L"remove", L"Trip"}).exitCode);
    run = RunQlgroup({L"import", file});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ(original, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Trip"));

    run = RunQlgroup({L"import", file});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("--replace")) << run.err;
    EXPECT_EQ(0u, RunQlgroup({L"import", file, L"--replace"}).exitCode);
    EXPECT_EQ(original, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Trip"));

    // Cut short inside its item table: the launcher would refuse it, so nothing is stored.
    ASSERT_EQ(0u, RunQlgroup({L"remove", L"Trip"}).exitCode);
    HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(handle, original.data(), 0x3A, &written, nullptr);
    CloseHandle(handle);
    run = RunQlgroup({L"import", file});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("not a group record")) << run.err;
    EXPECT_TRUE(StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Trip").empty());
    DeleteFileW(file.c_str());
}

TEST_F(QlgroupTest, CommonGroupsGoToTheMachine)
{
    ToolRun run = RunQlgroup({L"--common", L"add", L"Shared"});
    ASSERT_EQ(0u, run.exitCode) << run.err;
    EXPECT_FALSE(StoredRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Program Groups", L"Shared").empty());
    EXPECT_TRUE(StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Shared").empty());
    EXPECT_EQ(1u, RunQlgroup({L"show", L"Shared"}).exitCode) << "not among the user's groups";
    run = RunQlgroup({L"show", L"Shared", L"--common"});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("HKEY_LOCAL_MACHINE\\SOFTWARE\\Program Groups\\Shared")) << run.out;
    EXPECT_EQ(0u, RunQlgroup({L"--common", L"remove", L"Shared"}).exitCode);
    EXPECT_TRUE(StoredRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Program Groups", L"Shared").empty());
}

// Sets a key's access list from its SDDL form.
bool SetKeyAccess(const std::wstring& path, const wchar_t* sddl)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    HKEY key = nullptr;
    bool ok = RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, WRITE_DAC, &key) == ERROR_SUCCESS;
    if (ok) {
        ok = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    LocalFree(descriptor);
    return ok;
}

TEST_F(QlgroupTest, AGroupWithoutWriteAccessIsReportedAndLeftAsItWas)
{
    ASSERT_EQ(0u, RunQlgroup({L"add", L"Locked"}).exitCode);
    const std::wstring path = std::wstring(kUserGroupsW) + L"\\Locked";
    const std::vector<uint8_t> before = StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Locked");
    ASSERT_TRUE(SetKeyAccess(path, L"D:P(A;;KR;;;WD)"));
    const ToolRun run = RunQlgroup({L"add-item", L"Locked", L"--title", L"T", L"--command", m_recorder});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("No rights to change")) << run.err;
    EXPECT_EQ(before, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"Locked"));
    ASSERT_TRUE(SetKeyAccess(path, L"D:P(A;;KA;;;WD)"));
}

class StartMenuTest : public QlgroupTest {
protected:
    void SetUp() override
    {
        QlgroupTest::SetUp();
        wchar_t programs[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs)));
        m_programs = programs;
        m_apps = m_programs + L"\\QL Test Apps";
        m_single = m_programs + L"\\QL Single";
        m_work = L"C:\\ql work dir";
        ASSERT_TRUE(MakeFolders(m_apps + L"\\Sub\\Deeper"));
        ASSERT_TRUE(MakeFolders(m_single));
        ASSERT_TRUE(MakeFolders(m_work));
    }
    void TearDown() override
    {
        DeleteFolder(m_apps);
        DeleteFolder(m_single);
        DeleteFolder(m_work);
        QlgroupTest::TearDown();
    }

    std::wstring m_programs, m_apps, m_single, m_work;
};

TEST_F(StartMenuTest, FoldersBecomeGroupsAndUnreadableShortcutsAreSkipped)
{
    ASSERT_TRUE(MakeShortcut(m_apps + L"\\Recorder One.lnk",
                             {m_recorder, L"one two", L"C:\\windows", m_icon, 0, SW_SHOWMINNOACTIVE}));
    ASSERT_TRUE(MakeShortcut(m_apps + L"\\Sub\\Bar.lnk", {Wide(LauncherPath()), L"", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(MakeShortcut(m_apps + L"\\Sub\\Deeper\\Spaced.lnk", {m_recorder, L"", m_work, L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(WriteBytes(m_apps + L"\\Sub\\Deeper\\Broken.lnk", "not a shortcut"));
    ASSERT_TRUE(MakeShortcut(m_single + L"\\Only.lnk", {m_recorder, L"only", L"", L"", 0, SW_SHOWNORMAL}));

    ToolRun run = RunQlgroup({L"import-startmenu", L"--dry-run"});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.out.find("QL Test Apps: 3 items")) << run.out;
    EXPECT_TRUE(StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"QL Test Apps").empty()) << "a dry run writes nothing";

    run = RunQlgroup({L"import-startmenu"});
    EXPECT_EQ(1u, run.exitCode) << "the broken shortcut is reported";
    EXPECT_NE(std::string::npos, run.err.find("Broken.lnk: the shortcut cannot be read")) << run.err;

    Decoded apps;
    DecodeStored(L"QL Test Apps", apps);
    ASSERT_TRUE(apps.ok);
    ASSERT_EQ(3u, apps.group.m_items.size()) << "sub-folders are flattened into their top folder";
    const CProgramItem& one = *apps.group.m_items[0];
    EXPECT_EQ("Recorder One", one.m_strTitle);
    EXPECT_EQ(RecorderPath() + " one two", one.m_strCommand);
    EXPECT_EQ("C:\\windows", one.m_strDirectory);
    EXPECT_EQ(1, one.m_bMinimized);
    ASSERT_NE(0u, one.m_nIconInfo);
    EXPECT_EQ(kRed, IconColour(apps, one, 3, 3));
    EXPECT_EQ(kBlue, IconColour(apps, one, 25, 3));
    EXPECT_TRUE(IconTransparent(apps, one, 3, 30));
    const CProgramItem& bar = *apps.group.m_items[1];
    EXPECT_EQ("Bar", bar.m_strTitle);
    EXPECT_NE(0u, bar.m_nIconInfo) << "the icon of the program itself";
    EXPECT_EQ(0, bar.m_bMinimized);
    const CProgramItem& spaced = *apps.group.m_items[2];
    EXPECT_EQ("Spaced", spaced.m_strTitle);
    // A working directory with spaces is stored in its short form.
    char longForm[MAX_PATH] = {};
    GetLongPathNameA(spaced.m_strDirectory.c_str(), longForm, MAX_PATH);
    EXPECT_STRCASEEQ("C:\\ql work dir", longForm) << spaced.m_strDirectory;

    Decoded single;
    DecodeStored(L"QL Single", single);
    ASSERT_TRUE(single.ok);
    ASSERT_EQ(1u, single.group.m_items.size());
    EXPECT_EQ(RecorderPath() + " only", single.group.m_items[0]->m_strCommand);

    // Importing again adds only what is new; replacing rebuilds.
    DeleteFileW((m_apps + L"\\Sub\\Deeper\\Broken.lnk").c_str());
    DeleteFileW((m_apps + L"\\Sub\\Bar.lnk").c_str());
    ASSERT_TRUE(MakeShortcut(m_apps + L"\\Newer.lnk", {m_recorder, L"newer", L"", L"", 0, SW_SHOWNORMAL}));
    run = RunQlgroup({L"import-startmenu"});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Group QL Test Apps: 1 items added, 2 there already.")) << run.out;
    Decoded again;
    DecodeStored(L"QL Test Apps", again);
    ASSERT_TRUE(again.ok);
    ASSERT_EQ(4u, again.group.m_items.size());
    EXPECT_EQ("Bar", again.group.m_items[1]->m_strTitle) << "an item whose shortcut went stays";
    EXPECT_EQ(RecorderPath() + " newer", again.group.m_items[3]->m_strCommand);
    EXPECT_EQ(apps.position, again.position);
    EXPECT_EQ(single.record, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"QL Single"));
    run = RunQlgroup({L"import-startmenu", L"--replace"});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    Decoded replaced;
    DecodeStored(L"QL Test Apps", replaced);
    ASSERT_TRUE(replaced.ok);
    EXPECT_EQ(3u, replaced.group.m_items.size());
    EXPECT_EQ(apps.position, replaced.position) << "a replaced group keeps its place";
}

// The all users' Start Menu goes into the user's groups, a folder of the same name in both
// menus making one group; documents, folders, internet shortcuts and plain files are
// items, shell items are skipped without failing the run, installer shortcuts that
// cannot be resolved are reported.
TEST_F(StartMenuTest, BothMenusGoToTheUsersGroupsWithEveryKindOfEntry)
{
    wchar_t common[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, common)));
    const std::wstring shared = std::wstring(common) + L"\\QL Test Apps";
    struct Cleanup {
        std::wstring folder;
        ~Cleanup() { DeleteFolder(folder); }
    } cleanup{shared};
    ASSERT_TRUE(MakeFolders(shared));
    ASSERT_TRUE(WriteBytes(m_work + L"\\notes.txt", "notes"));
    ASSERT_TRUE(MakeShortcut(m_apps + L"\\Mine.lnk", {m_recorder, L"mine", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(MakeShortcut(m_single + L"\\Only.lnk", {m_recorder, L"only", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(WriteBytes(m_single + L"\\\u0417\u0430\u043C\u0435\u0442\u043A\u0438 \u7B14\u8BB0.txt", "notes"));
    // A folder's name from a library's string table, as Windows' own desktop.ini files give it.
    const std::string tool = QlgroupPath();
    ASSERT_TRUE(WriteBytes(m_single + L"\\desktop.ini",
                           "[.ShellClassInfo]\r\nLocalizedResourceName=@" + tool + ",-" + std::to_string(IDS_QG_YES) + "\r\n"));
    ASSERT_TRUE(MakeShortcut(shared + L"\\Shared.lnk", {m_recorder, L"shared", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(MakeShortcut(shared + L"\\Read Me.lnk", {m_work + L"\\notes.txt", L"", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(MakeShortcut(shared + L"\\Work.lnk", {m_work, L"", L"", L"", 0, SW_SHOWNORMAL}));
    ASSERT_TRUE(MakeShortcut(shared + L"\\Control Panel.lnk", {L"", L"", L"", L"", 0, SW_SHOWNORMAL, CSIDL_CONTROLS}));
    ASSERT_TRUE(WriteBytes(shared + L"\\Site.url", "[InternetShortcut]\r\nURL=https://example.com/q\r\n"));
    ASSERT_TRUE(WriteBytes(shared + L"\\desktop.ini", "[LocalizedFileNames]\r\nSite.url=Netzseite\r\n"));
    ASSERT_TRUE(WriteBytes(shared + L"\\Guide.txt", "guide"));

    ToolRun run = RunQlgroup({L"import-startmenu"});
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("Control Panel.lnk: it opens Control Panel, which is not")) << run.out;
    EXPECT_NE(std::string::npos,
              run.out.find("Made 2 groups and 8 items (0 items were there already); skipped 1 entries.\n"))
        << run.out;
    EXPECT_TRUE(StoredRecord(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Program Groups", L"QL Test Apps").empty());
    Decoded apps, single;
    DecodeStored(L"QL Test Apps", apps);
    DecodeStored(L"yes", single);
    ASSERT_TRUE(apps.ok);
    ASSERT_TRUE(single.ok);
    EXPECT_EQ(RecorderPath() + " only", single.group.m_items.at(0)->m_strCommand);
    // Names in any script come through whole (the tool shows them in UTF-8).
    const std::string shown = RunQlgroup({L"show", L"yes"}).out, folder(m_single.begin(), m_single.end());
    EXPECT_NE(std::string::npos, shown.find(u8"item: Заметки 笔记\n  command: \"" + folder + u8"\\Заметки 笔记.txt\"\n"))
        << shown;
    std::vector<std::string> items;
    for (const auto& item : apps.group.m_items) {
        items.push_back(item->m_strTitle + "=" + item->m_strCommand);
        EXPECT_NE(0u, item->m_nIconInfo) << item->m_strTitle;
    }
    const std::string sharedPath(shared.begin(), shared.end());
    EXPECT_EQ((std::vector<std::string>{"Mine=" + RecorderPath() + " mine",
                                        "Guide=\"" + sharedPath + "\\Guide.txt\"",
                                        "Read Me=\"C:\\ql work dir\\notes.txt\"",
                                        "Shared=" + RecorderPath() + " shared",
                                        "Netzseite=https://example.com/q",
                                        "Work=\"C:\\ql work dir\""}),
              items);

    // Again, with an installer's shortcut for a product that is not installed.
    ASSERT_TRUE(MakeAdvertisedShortcut(shared + L"\\Installer.lnk", L"w_1^VX!!!!!!!!!MKKSkQlTest>tW{~$4Q]c@II=l2xaTO5Z"));
    run = RunQlgroup({L"import-startmenu"});
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_NE(std::string::npos, run.err.find("Installer.lnk: it is an installer's shortcut")) << run.err;
    EXPECT_NE(std::string::npos,
              run.out.find("Made 0 groups and 0 items (8 items were there already); skipped 2 entries.\n"))
        << run.out;
    EXPECT_EQ(apps.record, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"QL Test Apps"));
    EXPECT_EQ(single.record, StoredRecord(HKEY_CURRENT_USER, kUserGroupsW, L"yes"));
}

}  // namespace
