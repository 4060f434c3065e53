#include "launch/command_line.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

}  // namespace

namespace {

// ReplaceAll, with the occurrences looked for in a text as long as the one changed (its
// lower case, say) and the places found used in the text.
std::string ReplaceFound(const std::string& text, const std::string& searched, const std::string& find,
                         const std::string& replacement)
{
    if (find.empty())
        return text;
    std::string out;
    size_t rest = 0;
    for (size_t at = searched.find(find); at != std::string::npos; at = searched.find(find, rest)) {
        out.append(text, rest, at - rest);
        out += replacement;
        rest = at + find.size();
    }
    out.append(text, rest, std::string::npos);
    return out;
}

}  // namespace

std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement)
{
    return ReplaceFound(text, text, find, replacement);
}

std::string LowerCase(const std::string& text, const CodePage& codePage)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const size_t length = CharLength(text, i, codePage);
        if (length == 2 && codePage.lowerDoubleByte) {
            const std::string pair = text.substr(i, 2);
            std::string lower = codePage.lowerDoubleByte(pair);
            // A mapping that does not give one double-byte character back is not used.
            out += lower.size() == 2 ? lower : pair;
        } else if (length == 1) {
            const char c = text[i];
            out += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out;
}

bool EqualNoCase(const std::string& a, const std::string& b, const CodePage& codePage)
{
    return a.size() == b.size() && LowerCase(a, codePage) == LowerCase(b, codePage);
}

std::string ExtensionOf(const std::string& path, const CodePage& codePage)
{
    size_t component = 0;
    size_t dot = std::string::npos;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i, codePage)) {
        if (CharLength(path, i, codePage) == 2)
            continue;
        if (IsSeparator(path[i])) {
            component = i + 1;
            dot = std::string::npos;
        } else if (path[i] == '.') {
            dot = i;
        }
    }
    return dot != std::string::npos && dot >= component ? path.substr(dot) : std::string();
}

bool StartsByItself(const std::string& extension, const CodePage& codePage)
{
    for (const char* program : {"exe", "com", "bat", "cmd", "pif"}) {
        if (EqualNoCase(extension, program, codePage))
            return true;
    }
    return false;
}

std::string DocumentPlaceholders(const std::string& openCommand, const CodePage& codePage)
{
    std::string out;
    for (size_t i = 0; i < openCommand.size();) {
        const size_t length = CharLength(openCommand, i, codePage);
        if (length == 1 && openCommand[i] == '%' && i + 1 < openCommand.size()) {
            const char next = openCommand[i + 1];
            if (next == 'L' || next == 'l' || next == '1') {
                out += "%1";
                i += 2;
                continue;
            }
            if (next == '*' || (next >= '2' && next <= '9')) {
                i += 2;
                continue;
            }
        }
        out.append(openCommand, i, length);
        i += length;
    }
    return out;
}

std::string BuildCommandLine(const std::string& command, const std::string& windowsDirectory,
                             const AssociationTable& associations, const CodePage& codePage)
{
    // The command keeps the case it was stored with: switches and addresses may depend on
    // it. Its lower case only finds "%windir%" in any case; each character's lower case
    // is as long as the character, so the places found are the command's own.
    const std::string full = ReplaceFound(command, LowerCase(command, codePage), "%windir%", windowsDirectory);

    // The extension comes from the command as written: from a first word in double
    // quotes, taken whole with its blanks (an unclosed quote runs to the end), or else
    // from the command up to its first blank.
    const bool quoted = !command.empty() && command[0] == '"';
    const std::string first = quoted ? command.substr(1, command.find('"', 1) - 1) : command.substr(0, command.find(' '));
    std::string extension = ExtensionOf(first, codePage);
    if (extension.size() < 2)
        return full;
    extension.erase(0, 1);
    // Today's registries give programs an open command of their own ("%1" %*); a
    // program item runs as written instead.
    if (StartsByItself(extension, codePage))
        return full;

    const size_t count = associations.extensions.size() < associations.openCommands.size()
                             ? associations.extensions.size()
                             : associations.openCommands.size();
    for (size_t i = 0; i < count; ++i) {
        if (!EqualNoCase(extension, associations.extensions[i], codePage))
            continue;
        std::string open = DocumentPlaceholders(associations.openCommands[i], codePage) + " ";
        // A quoted document brings its own quotes; the open command's around it would end
        // them at once and cut the document at its first blank.
        if (quoted)
            open = ReplaceAll(open, "\"%1\"", "%1");
        if (open.find("%1") != std::string::npos)
            return ReplaceAll(open, "%1", full);
        return open + full;
    }
    return full;
}

std::string DropCommandLine(const std::string& command, const std::vector<std::string>& files)
{
    std::string line = command;
    for (const std::string& file : files) {
        line += ' ';
        if (file.find(' ') != std::string::npos)
            line += '"' + file + '"';
        else
            line += file;
    }
    return line;
}
