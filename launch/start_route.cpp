#include "launch/start_route.h"

#include "launch/command_line.h"

#include <algorithm>

namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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

}  // namespace

StartRoute RouteOf(const std::string& line, bool (*isFile)(const std::string&), const CodePage& codePage)
{
    // Blanks, tabs and quotes are never the second byte of a double-byte character.
    const size_t npos = std::string::npos;
    const size_t begin = std::min(line.find_first_not_of(" \t"), line.size());
    const size_t quoted = begin < line.size() && line[begin] == '"' ? 1 : 0;
    size_t end = line.find('"', begin + 1);
    if (!quoted) {
        const size_t firstBlank = line.find_first_of(" \t", begin);
        for (end = firstBlank; !isFile(line.substr(begin, end - begin)); end = line.find_first_of(" \t", end + 1)) {
            if (end == npos) {
                end = firstBlank;
                break;
            }
        }
    }
    end = std::min(end, line.size());
    const size_t rest = std::min(line.find_first_not_of(" \t", end + quoted), line.size());
    StartRoute route = {line.substr(begin + quoted, end - begin - quoted), line.substr(rest), true};
    if (!IsUrl(route.program)) {
        const std::string extension = ExtensionOf(route.program, codePage);
        route.throughShell = extension.size() > 1 && !StartsByItself(extension.substr(1), codePage);
    }
    return route;
}
