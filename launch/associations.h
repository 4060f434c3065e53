// The document association table, read from HKEY_CLASSES_ROOT: each extension key
// (".txt") names a file type whose shell\open\command opens it. Extension i (without its
// dot) goes to the first list, its open command to the second at the same index.
// CLaunchApp reads its table through these, all at once or a turn at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A walk over the class keys that can stop after any number of them and go on later.
class AssociationWalk {
public:
    AssociationWalk();
    ~AssociationWalk();
    AssociationWalk(const AssociationWalk&) = delete;
    AssociationWalk& operator=(const AssociationWalk&) = delete;

    // Reads up to `count` more class keys into the lists; false once the walk has ended.
    // Out of memory it throws, the lists left whole.
    bool Read(DWORD count, std::vector<std::string>& extensions, std::vector<std::string>& openCommands);
    void End();

private:
    HKEY m_root = nullptr;
    DWORD m_index = 0;
};

// Reads the rest of a walk; out of memory, the table stays as far as it was read, as
// when the registry fails.
void ReadToTheEnd(AssociationWalk& walk, std::vector<std::string>& extensions, std::vector<std::string>& openCommands);

// Reads for one short turn (a few milliseconds); false once the walk has ended, out of
// memory too.
bool ReadForATurn(AssociationWalk& walk, std::vector<std::string>& extensions, std::vector<std::string>& openCommands);
