// Importing the Start Menu: each folder of the programs folder becomes a group, each
// entry in it (or in any folder below it) an item. By default the user's and the all
// users' menus are read into the user's groups, folders of the same name making one
// group; an existing group gains only the items it lacks. Shortcuts, internet shortcuts
// and other files are items; entries that cannot be are reported and left out.
#pragma once

namespace authoring {

struct StartMenuOptions {
    bool common = false;   // only the all users' Start Menu, into the machine's groups
    bool dryRun = false;   // say what would be written, write nothing
    bool replace = false;  // rebuild groups of the same name instead of adding to them
};

// The tool's exit status: 1 when an entry that could be an item was left out.
int ImportStartMenu(const StartMenuOptions& options);

}  // namespace authoring
