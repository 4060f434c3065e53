// The platform side of starting programs: the code page as the command-line rules need
// it, entering a working directory, and handing a command line to WinExec. Used by the
// button window's click and drop starts (launch/launch.cpp).
#pragma once

#include "launch/command_line.h"

#include <string>

class CLaunchApp;

// The ANSI code page's lead bytes and its lower-case mapping of double-byte characters.
const CodePage& PlatformCodePage();

// Makes the directory, and its drive, current (see launch/working_directory.h). A
// directory that cannot be entered is ignored.
void EnterWorkingDirectory(const std::string& directory);

// What a start that never reached WinExec reports: the command line was longer than the
// platform takes. Like WinExec's own failures it shows the "cannot find" row.
constexpr int LAUNCH_ERROR_TOO_LONG = 0;

// Starts the command line with the show command; a failure is reported in the message
// box. Returns WinExec's result, or LAUNCH_ERROR_TOO_LONG for a line that was not tried.
int StartProgram(CLaunchApp& app, const std::string& commandLine, int nCmdShow);
