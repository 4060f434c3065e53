// Which way a command line is started: the program it names, found as the platform's
// process start finds it; whether the shell must start it instead (a URL, a shortcut, a
// document the association table did not open); and the codes a failed start reports.
// Pure code.
#pragma once

#include "catalog/code_page.h"

#include <functional>
#include <string>

struct ProgramAndParameters {
    std::string program, parameters;
};

// A first word in double quotes is the program, whole. Otherwise the blanks are tried in
// turn, as the process start does with a path that holds blanks: the shortest text up to
// a blank, or the whole line, that `isFile` accepts; when none is, the first word. The
// parameters follow it, without the blanks in between.
ProgramAndParameters SplitProgram(const std::string& line, const std::function<bool(const std::string&)>& isFile);

// "scheme:rest", the scheme a letter and then at least one more letter, digit, '+', '-'
// or '.': "https://host", "mailto:a@b". "C:\x" names a drive, not a scheme.
bool IsUrl(const std::string& program);

// The shell starts a URL, and a file of a type the platform does not start by itself
// (a shortcut, a document); programs start as processes.
bool StartsThroughShell(const std::string& program, const CodePage& codePage);

// A failed start's system error as the codes of the error report: out of memory or
// resources 0, the system's codes under 32 as they are (2 file not found, 3 path not
// found, 5 access denied, ...), no association 31, any other 11 (bad format). Never 193,
// which the report keeps for the bar's own memory failure.
int StartErrorCode(unsigned long error);
