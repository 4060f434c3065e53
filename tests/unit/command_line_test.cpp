#include "launch/command_line.h"
#include "launch/start_route.h"
#include "launch/working_directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A Shift-JIS-like code page: lead bytes 0x81-0x9F and 0xE0-0xFC; the full-width
// letters 0x82 0x60-0x79 lower to 0x82 0x81-0x9A.
CodePage TestCodePage()
{
    CodePage codePage;
    codePage.isLeadByte = [](unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    codePage.lowerDoubleByte = [](const std::string& pair) {
        std::string lower = pair;
        if (static_cast<unsigned char>(pair[0]) == 0x82 && static_cast<unsigned char>(pair[1]) >= 0x60 &&
            static_cast<unsigned char>(pair[1]) <= 0x79)
            lower[1] = static_cast<char>(pair[1] + 0x21);
        return lower;
    };
    return codePage;
}

struct Table {
    std::vector<std::string> extensions;
    std::vector<std::string> openCommands;
};

std::string Build(const std::string& command, const Table& table = {}, const std::string& windir = "C:\\WINDOWS")
{
    return BuildCommandLine(command, windir, AssociationTable{table.extensions, table.openCommands}, TestCodePage());
}

TEST(ReplaceAll, ReplacesEveryOccurrenceWithoutSearchingTheReplacementAgain)
{
    EXPECT_EQ("a-b-c", ReplaceAll("a%b%c", "%", "-"));
    EXPECT_EQ("xx", ReplaceAll("%1%1", "%1", "x"));
    EXPECT_EQ("%1%1 %1%1", ReplaceAll("%1 %1", "%1", "%1%1"));
    EXPECT_EQ("unchanged", ReplaceAll("unchanged", "%1", "x"));
    EXPECT_EQ("", ReplaceAll("", "%1", "x"));
    EXPECT_EQ("text", ReplaceAll("text", "", "x"));
    EXPECT_EQ("Case", ReplaceAll("Case", "case", "x"));
}

TEST(BuildCommandLine, ProgramsKeepTheirCaseWithTheWindowsDirectoryPutIn)
{
    EXPECT_EQ("NOTEPAD.EXE C:\\WINDOWS\\WIN.INI", Build("NOTEPAD.EXE %WINDIR%\\WIN.INI"));
    EXPECT_EQ("X C:\\WINDOWS C:\\WINDOWS %WinDi", Build("X %WinDir% %windir% %WinDi"));
    EXPECT_EQ("app.exe -P Work https://Example.com/AbC", Build("app.exe -P Work https://Example.com/AbC"));
    // The part before the first blank has no extension: the whole command as written.
    EXPECT_EQ("C:\\PROGRAM FILES\\TOOL.EXE", Build("C:\\PROGRAM FILES\\TOOL.EXE", {{"exe"}, {"\"%1\" %*"}}));
}

TEST(BuildCommandLine, DocumentsStartWithTheirTypesOpenCommand)
{
    const Table txt{{"doc", "txt"}, {"write.exe", "notepad.exe %1"}};
    EXPECT_EQ("notepad.exe README.TXT ", Build("README.TXT", txt));
    EXPECT_EQ("write.exe A.DOC B", Build("A.DOC B", txt));
    // Compared without regard to case, on the extension as written, first entry wins.
    EXPECT_EQ("first C:\\A.TXT ", Build("C:\\A.TXT", {{"TXT", "txt"}, {"first %1", "second %1"}}));
    EXPECT_EQ("notepad.exe c:\\windows\\X.TXT ", Build("%WINDIR%\\X.TXT", txt, "c:\\windows"));
    // A first word in double quotes is taken whole, blanks and all; the open command's
    // own quotes do not enclose the quoted document again.
    EXPECT_EQ("notepad.exe \"C:\\My Docs\\Read Me.TXT\" -x ", Build("\"C:\\My Docs\\Read Me.TXT\" -x", txt));
    EXPECT_EQ("viewer.exe \"C:\\My Docs\\a.txt\" ", Build("\"C:\\My Docs\\a.txt\"", {{"txt"}, {"viewer.exe \"%L\""}}));
    EXPECT_EQ("write.exe \"D:\\A B.DOC", Build("\"D:\\A B.DOC", txt));  // unclosed: to the end
    EXPECT_EQ("\"C:\\Docs.d\\x\" a.txt", Build("\"C:\\Docs.d\\x\" a.txt", txt));
    // No extension, a bare dot, or an extension only in a folder's name: no association.
    const Table empty{{"", "txt"}, {"never %1", "notepad.exe %1"}};
    EXPECT_EQ("README", Build("README", empty));
    EXPECT_EQ("README.", Build("README.", empty));
    EXPECT_EQ("C:\\MY.TXT\\README", Build("C:\\MY.TXT\\README", empty));
    EXPECT_EQ("\"\"", Build("\"\"", empty));
    // A table whose arrays differ in length is read only as far as both go.
    EXPECT_EQ("README.TXT", Build("README.TXT", {{"txt"}, {}}));
}

TEST(BuildCommandLine, ProgramsStartAsWrittenWhateverIsAssociatedWithThem)
{
    const Table today{{"exe", "com", "bat", "cmd", "pif"},
                      {"\"%1\" %*", "\"%1\" %*", "\"%1\" %*", "\"%1\" %*", "\"%1\" %*"}};
    EXPECT_EQ("C:\\TOOLS\\APP.EXE /X", Build("C:\\TOOLS\\APP.EXE /X", today));
    EXPECT_EQ("\"C:\\Program Files\\App.exe\" /X", Build("\"C:\\Program Files\\App.exe\" /X", today));
    EXPECT_EQ("C:\\RUN.BAT", Build("C:\\RUN.BAT", today));
    EXPECT_EQ("X.Cmd A", Build("X.Cmd A", today));
    EXPECT_EQ("OLD.COM", Build("OLD.COM", today));
    EXPECT_EQ("DOS.PIF", Build("DOS.PIF", today));
}

TEST(BuildCommandLine, TodaysPlaceholdersBecomeTheDocumentOrAreLeftOut)
{
    EXPECT_EQ("viewer.exe \"README.TXT\" ", Build("README.TXT", {{"txt"}, {"viewer.exe \"%L\""}}));
    EXPECT_EQ("viewer.exe /a README.TXT ", Build("README.TXT", {{"txt"}, {"viewer.exe /a %l"}}));
    EXPECT_EQ("app.exe README.TXT   ", Build("README.TXT", {{"txt"}, {"app.exe %1 %2 %*"}}));
    EXPECT_EQ("app.exe  README.TXT", Build("README.TXT", {{"txt"}, {"app.exe %9"}}));
    // Only the open command's placeholders go: the document's own name keeps its "%2".
    EXPECT_EQ("notepad.exe 50%2OFF.TXT  ", Build("50%2OFF.TXT", {{"txt"}, {"notepad.exe %1 %*"}}));
    EXPECT_EQ("a.exe %windir% README.TXT ", Build("README.TXT", {{"txt"}, {"a.exe %windir% %1"}}));
}

TEST(BuildCommandLine, DoubleByteCharactersAreNeitherSplitNorLoweredByte)
{
    // 0x83 0x41 ends in the code of 'A', 0x95 0x5C in that of '\'.
    EXPECT_EQ("\x83\x41" "b\x95\x5C" "c", LowerCase("\x83\x41" "B\x95\x5C" "C", TestCodePage()));
    EXPECT_EQ("\x82\x81" "a", LowerCase("\x82\x60" "A", TestCodePage()));
    // A lead byte at the very end stands alone.
    EXPECT_EQ("a\x83", LowerCase("A\x83", TestCodePage()));
    EXPECT_FALSE(EqualNoCase("\x83\x41", "\x83\x61", TestCodePage()));
    EXPECT_TRUE(EqualNoCase("\x82\x60" "X", "\x82\x81" "x", TestCodePage()));

    // The extension is one double-byte character whose trail byte is '\'.
    EXPECT_EQ(".\x95\x5C", ExtensionOf("C:\\README.\x95\x5C", TestCodePage()));
    EXPECT_EQ("viewer.exe C:\\README.\x95\x5C ",
              Build("C:\\README.\x95\x5C", {{"\x95\x5C"}, {"viewer.exe %1"}}));
    EXPECT_EQ("C:\\\x83\x41.EXE", Build("C:\\\x83\x41.EXE", {{"exe"}, {"\"%1\" %*"}}));
    // Lowered for the search only: the characters around "%windir%" come out as written.
    EXPECT_EQ("\x82\x60\x83\x41" "C:\\W", Build("\x82\x60\x83\x41%WINDIR%", {}, "C:\\W"));
}

// Under UTF-8 no byte is a lead byte in the double-byte sense, and characters have up to
// four bytes: they are walked, cut and lower-cased whole.
TEST(CodePageUtf8, CharactersAreWalkedCutAndLowerCasedWhole)
{
    CodePage utf8;
    utf8.utf8 = true;
    const std::string text = "\xD0\x94\xE4\xB8\xAD\xF0\x9F\x98\x80" "A\x94\xE4" "A\xE4\xB8";
    size_t lengths[12] = {};
    size_t n = 0;
    for (size_t i = 0; i < text.size(); i += lengths[n++])
        lengths[n] = CharLength(text, i, utf8);
    // Cyrillic, CJK, an emoji, ASCII, a stray continuation byte, a lead byte without its
    // continuation, ASCII, and a character cut short at the end.
    EXPECT_EQ((std::vector<size_t>{2, 3, 4, 1, 1, 1, 1, 2}), std::vector<size_t>(lengths, lengths + n));

    EXPECT_EQ(1u, WholePrefix("a\xE4\xB8\xAD", 3, utf8));
    EXPECT_EQ(4u, WholePrefix("a\xE4\xB8\xAD\xE4\xB8\xAD", 6, utf8));
    EXPECT_EQ(7u, WholePrefix("a\xE4\xB8\xAD\xE4\xB8\xAD", 7, utf8));
    EXPECT_EQ(2u, WholePrefix("\x83\x41\x83\x41", 3, TestCodePage()));
    EXPECT_EQ(3u, WholePrefix("\x83\x41\x83\x41", 3, CodePage{}));

    // Only ASCII is lowered; every byte of the others is kept.
    EXPECT_EQ("c:\\\xD0\x94\\\xE4\xB8\xAD.exe \xF0\x9F\x98\x80",
              LowerCase("C:\\\xD0\x94\\\xE4\xB8\xAD.EXE \xF0\x9F\x98\x80", utf8));
    EXPECT_EQ(".\xE6\x96\x87", ExtensionOf("C:\\\xE4\xB8\xAD.\xE6\x96\x87", utf8));
    EXPECT_TRUE(EndsWithBackslash("C:\\\xE4\xB8\xAD\\", utf8));
    EXPECT_EQ("C:\\\xD0\x94", WorkingDirectoryChange("C:\\\xD0\x94\\", utf8).directory);
}

TEST(WorkingDirectoryChange, TrailingBackslashAndDrive)
{
    auto change = [](const std::string& d) {
        const DirectoryChange c = WorkingDirectoryChange(d, TestCodePage());
        return c.directory + "|" + (c.drive ? std::string(1, c.drive) : std::string("-"));
    };
    EXPECT_EQ("|-", change(""));
    EXPECT_EQ("C:\\|C", change("C:\\"));
    EXPECT_EQ("C:\\WORK|C", change("C:\\WORK\\"));
    EXPECT_EQ("d:\\x|D", change("d:\\x"));
    EXPECT_EQ("D:|D", change("D:"));
    // Relative and network directories name no drive.
    EXPECT_EQ("work|-", change("work\\"));
    EXPECT_EQ("\\\\server\\share|-", change("\\\\server\\share\\"));
    // A double-byte character ending in 0x5C is not a trailing backslash.
    EXPECT_EQ("C:\\\x95\x5C|C", change("C:\\\x95\x5C"));
    EXPECT_EQ("C:\\\x95\x5C|C", change("C:\\\x95\x5C\\"));
}

TEST(DropCommandLine, FilesFollowTheCommandAsStored)
{
    EXPECT_EQ("notepad.exe C:\\X\\a.txt C:\\X\\B.TXT", DropCommandLine("notepad.exe", {"C:\\X\\a.txt", "C:\\X\\B.TXT"}));
    EXPECT_EQ("NOTEPAD.EXE %WINDIR% \"C:\\My Files\\a.txt\"",
              DropCommandLine("NOTEPAD.EXE %WINDIR%", {"C:\\My Files\\a.txt"}));
    EXPECT_EQ("app.exe", DropCommandLine("app.exe", {}));
}

// The route of a line, with the files that exist.
std::vector<std::string> g_files;
StartRoute Route(const std::string& line, const std::vector<std::string>& files = {})
{
    g_files = files;
    return RouteOf(line, [](const std::string& name) {
        return std::find(g_files.begin(), g_files.end(), name) != g_files.end();
    }, TestCodePage());
}
// "program|parameters"
std::string Split(const std::string& line, const std::vector<std::string>& files = {})
{
    const StartRoute route = Route(line, files);
    return route.program + "|" + route.parameters;
}

TEST(RouteOf, FindsTheProgramAsTheProcessStartDoes)
{
    EXPECT_EQ("C:\\My Tools\\a.exe|-P Work", Split("  \"C:\\My Tools\\a.exe\"   -P Work", {"\"C:\\My"}));
    EXPECT_EQ("C:\\open quote|", Split("\"C:\\open quote"));
    // Unquoted, the shortest text up to a blank that names a file, the whole line last.
    EXPECT_EQ("C:\\Program Files\\Tool.exe|/x \t y", Split("C:\\Program Files\\Tool.exe \t/x \t y",
                                                           {"C:\\Program Files\\Tool.exe", "C:\\Program Files\\Tool.exe \t/x"}));
    EXPECT_EQ("C:\\My Docs\\a b.txt|", Split("C:\\My Docs\\a b.txt", {"C:\\My Docs\\a b.txt"}));
    // Nothing found: the first word, and the rest stays whole for the start to report.
    EXPECT_EQ("missing.exe|C:\\My Docs\\x", Split("missing.exe C:\\My Docs\\x"));
    EXPECT_EQ("notepad|", Split("notepad"));
    EXPECT_EQ("|", Split(" \t "));
}

TEST(RouteOf, UrlsShortcutsAndDocumentsGoToTheShellProgramsStartAsProcesses)
{
    for (const char* shell : {"https://Example.com/AbC x", "mailto:a@b.org", "ms-settings:display", "shell:startup",
                              "x1+.-:y", "C:\\Links\\Tool.LNK", "\"C:\\My Docs\\report.docx\" /p", "a.msc"})
        EXPECT_TRUE(Route(shell).throughShell) << shell;
    EXPECT_TRUE(Route("C:\\My Docs\\a b.txt", {"C:\\My Docs\\a b.txt"}).throughShell);
    // Programs; a drive is no scheme, nor are names that begin with other than a letter
    // or hold other characters before their colon.
    for (const char* process : {"NOTEPAD.EXE", "notepad", "C:\\x\\run.Bat", "go.cmd", "C:\\dir.d\\prog", "readme.",
                                "c:", "C:\\tool", "1x:y", "a b:c", ":x", "\\\\server\\x:y", "x_y:z"})
        EXPECT_FALSE(Route(process).throughShell) << process;
}

TEST(StartErrorCode, MapsSystemErrorsOntoTheReportsCodes)
{
    EXPECT_EQ(2, StartErrorCode(2));    // file not found
    EXPECT_EQ(3, StartErrorCode(3));    // path not found
    EXPECT_EQ(5, StartErrorCode(5));    // access denied
    EXPECT_EQ(0, StartErrorCode(8));    // not enough memory
    EXPECT_EQ(0, StartErrorCode(14));
    EXPECT_EQ(31, StartErrorCode(31));
    // A bad program image must not show the bar's own "Not Enough Memory" row.
    EXPECT_EQ(11, StartErrorCode(193));
    EXPECT_EQ(11, StartErrorCode(0x800401F5));
}

}  // namespace
