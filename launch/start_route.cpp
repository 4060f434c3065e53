#include "launch/start_route.h"

#include "launch/command_line.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

ProgramAndParameters SplitProgram(const std::string& line, const std::function<bool(const std::string&)>& isFile)
{
    // Blanks, tabs and quotes are never the second byte of a double-byte character.
    size_t begin = 0;
    while (begin < line.size() && IsBlank(line[begin]))
        ++begin;
    ProgramAndParameters split;
    if (begin == line.size())
        return split;
    size_t end = line.size();
    if (line[begin] == '"') {
        const size_t close = line.find('"', begin + 1);
        split.program = line.substr(begin + 1, close == std::string::npos ? std::string::npos : close - begin - 1);
        end = close == std::string::npos ? line.size() : close + 1;
    } else {
        const size_t firstBlank = line.find_first_of(" \t", begin);
        for (end = firstBlank; !isFile(line.substr(begin, end == std::string::npos ? end : end - begin));) {
            if (end == std::string::npos) {
                end = firstBlank;
                break;
            }
            end = line.find_first_of(" \t", end + 1);
        }
        if (end == std::string::npos)
            end = line.size();
        split.program = line.substr(begin, end - begin);
    }
    while (end < line.size() && IsBlank(line[end]))
        ++end;
    split.parameters = line.substr(end);
    return split;
}

bool IsUrl(const std::string& program)
{
    const size_t colon = program.find(':');
    if (colon == std::string::npos || colon < 2 || !IsAsciiLetter(program[0]))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        const char c = program[i];
        if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

bool StartsThroughShell(const std::string& program, const CodePage& codePage)
{
    if (IsUrl(program))
        return true;
    const std::string extension = ExtensionOf(program, codePage);
    return extension.size() > 1 && !StartsByItself(extension.substr(1), codePage);
}

int StartErrorCode(unsigned long error)
{
    constexpr unsigned long kNotEnoughMemory = 8, kOutOfMemory = 14, kNoSystemResources = 1450;
    constexpr unsigned long kNoAssociation = 1155;
    if (error == kNotEnoughMemory || error == kOutOfMemory || error == kNoSystemResources)
        return 0;
    if (error < 32)
        return static_cast<int>(error);
    return error == kNoAssociation ? 31 : 11;
}
