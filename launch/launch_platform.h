// The platform side of starting programs: entering a working directory, starting a
// command line (as a process, or through the shell), building a click's command line
// with the Windows directory and the system's code page, and reading the files of a drop.
// The button window's click and drop starts (LaunchItem, LaunchWithFiles) run them with
// what the application holds.
#pragma once

#include "catalog/program_group.h"
#include "launch/command_line.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

// What a start reads of an item, copied: the error box's message loop may rebuild the
// group while the start is still running.
struct ItemToStart {
    std::string command;
    std::string directory;
    int show = SW_SHOWNORMAL;
    bool exact = true;  // the command and directory are the stored ones (CProgramItem::m_bExact)
};

// The item at this button index of the group; false when there is none.
bool ItemToStartAt(const CProgramGroup& group, int index, ItemToStart& start);

// Makes the directory, and its drive, current (see launch/working_directory.h). A
// directory that cannot be entered is ignored.
void EnterWorkingDirectory(const std::string& directory);

// What a start that was never tried reports: the command line was longer than the
// platform takes. Like the platform's own failures it shows the "cannot find" row.
constexpr int LAUNCH_ERROR_TOO_LONG = 0;
// The user declined the consent prompt of a program that asks for an administrator:
// nothing started, and nothing to report.
constexpr int LAUNCH_DECLINED = -1;

// Shows why a start failed (CLaunchApp::ReportLaunchError).
using LaunchErrorReport = std::function<void(int nCode)>;

// Starts the command line with the show command in the current directory: as a process,
// or through the shell for a URL, a shortcut, a document (launch/start_route.h) or a
// folder, and through the shell too when the program asks for an administrator.
// Returns a start code: above 32 when started; 32 or less when failed, the failure then
// sent to `report`; LAUNCH_DECLINED.
int StartProgram(const std::string& commandLine, int nCmdShow, const LaunchErrorReport& report);

// The command line of a click start of this item command (BuildCommandLine with the
// Windows directory and the system's code page).
std::string ClickCommandLine(const std::string& command, const AssociationTable& associations);

// True when the drop handle is a block of this process's memory holding a complete file
// list; any other handle is neither read nor freed.
bool DropHandleIsOurs(HDROP hDrop);
// Reads the drop point (client coordinates) and the dropped files' full names, and
// releases the drop. False when the shell's drop functions cannot be had: the drop's
// memory is then freed unread. `exact` is false when a name does not convert exactly
// to the system's code page: it would name another file, and nothing may start.
bool TakeDroppedFiles(HDROP hDrop, POINT& point, std::vector<std::string>& files, bool& exact);
