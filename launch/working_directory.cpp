#include "launch/working_directory.h"

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
