// The command line a start hands to the platform: the item's command with the Windows
// directory put in for "%windir%", or, for a document, its type's open command around
// it; and the command of a drop with the dropped files after it. Pure
// code: the code page's lead bytes and double-byte lower-case mapping are handed in.
#pragma once

#include "catalog/code_page.h"

#include <cstddef>
#include <string>
#include <vector>

// The document associations: extension i (without its dot) opens with command i.
struct AssociationTable {
    const std::vector<std::string>& extensions;
    const std::vector<std::string>& openCommands;
};

// The longest command line the platform takes, in bytes without the terminator. Each
// byte is at most one character, so a line within it always fits.
constexpr size_t kMaxCommandLine = 32766;

// Every occurrence of find replaced, left to right; inserted text is not searched again.
std::string ReplaceAll(const std::string& text, const std::string& find, const std::string& replacement);

// A-Z become a-z, double-byte characters go through the code page's mapping, and a
// trail byte is never taken for a character of its own.
std::string LowerCase(const std::string& text, const CodePage& codePage);
bool EqualNoCase(const std::string& a, const std::string& b, const CodePage& codePage);

// The extension of a path's last component, dot included ("" when there is none).
std::string ExtensionOf(const std::string& path, const CodePage& codePage);

// Programs the platform starts by itself, whatever is associated with their extension.
bool StartsByItself(const std::string& extension, const CodePage& codePage);

// An open command as today's registries write it, reduced to the placeholder the
// launcher fills: %L (the long name) counts as %1, and %* and %2 to %9 (arguments a
// document start never has) are removed.
std::string DocumentPlaceholders(const std::string& openCommand, const CodePage& codePage);

// The command line of a click start; windowsDirectory replaces "%windir%" in any case.
std::string BuildCommandLine(const std::string& command, const std::string& windowsDirectory,
                             const AssociationTable& associations, const CodePage& codePage);

// The command line of a drop: the item's command exactly as stored, then each file after
// a blank. A name with a blank in it is quoted, so that it stays one argument.
std::string DropCommandLine(const std::string& command, const std::vector<std::string>& files);
