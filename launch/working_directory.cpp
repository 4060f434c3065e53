#include "launch/working_directory.h"

namespace {

// True when the last character, a double-byte one counting as one, is a backslash.
bool EndsWithBackslash(const std::string& text, const CodePage& codePage)
{
    bool backslash = false;
    for (size_t i = 0; i < text.size();) {
        const bool pair = codePage.isLeadByte && codePage.isLeadByte(static_cast<unsigned char>(text[i])) &&
                          i + 1 < text.size();
        backslash = !pair && text[i] == '\\';
        i += pair ? 2 : 1;
    }
    return backslash;
}

}  // namespace

DirectoryChange WorkingDirectoryChange(const std::string& directory, const CodePage& codePage)
{
    DirectoryChange change;
    if (directory.empty())
        return change;
    change.directory = directory;
    if (directory.size() > 3 && EndsWithBackslash(directory, codePage))
        change.directory.pop_back();
    // A relative directory such as "work" names no drive; its first letter must not
    // send the start to drive W.
    const char letter = directory[0];
    if (directory.size() >= 2 && directory[1] == ':') {
        if (letter >= 'a' && letter <= 'z')
            change.drive = static_cast<char>(letter - 'a' + 'A');
        else if (letter >= 'A' && letter <= 'Z')
            change.drive = letter;
    }
    return change;
}
