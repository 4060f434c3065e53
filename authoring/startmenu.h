// Importing the Start Menu: each folder of the programs folder becomes a group, each
// shortcut in it (or in any folder below it) an item. Shortcuts are read through the
// shell's link object; those that cannot be read are reported and left out.
#pragma once

namespace authoring {

struct StartMenuOptions {
    bool common = false;   // all users' Start Menu into the machine's groups
    bool dryRun = false;   // say what would be written, write nothing
    bool replace = false;  // replace groups of the same name
};

// The tool's exit status: 1 when anything was left out or kept.
int ImportStartMenu(const StartMenuOptions& options);

}  // namespace authoring
