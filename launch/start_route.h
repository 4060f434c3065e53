// Which way a command line is started: the program it names, found as the platform's
// process start finds it; whether the shell must start it instead (a URL, a shortcut, a
// document the association table did not open); and the codes a failed start reports.
// Pure code.
#pragma once

#include "catalog/code_page.h"

#include <string>

struct StartRoute {
    std::string program, parameters;
    bool throughShell;
};

// The program of a command line and its parameters, and which way it starts.
// - A first word in double quotes is the program, whole. Otherwise the blanks are tried
//   in turn, as the process start does with a path that holds blanks: the shortest text
//   up to a blank, or the whole line, that `isFile` accepts; when none is, the first
//   word. The parameters follow it, without the blanks in between.
// - The shell starts a URL ("scheme:rest", the scheme two or more letters, digits, '+',
//   '-' or '.' from a letter on, so that "C:\x" is a drive), and a file of a type the
//   platform does not start by itself (a shortcut, a document); programs start as
//   processes.
StartRoute RouteOf(const std::string& line, bool (*isFile)(const std::string&), const CodePage& codePage);

// A failed start's system error as the codes of the error report: out of memory (8, 14)
// 0, the system's other codes under 32 as they are (2 file not found, 3 path not found,
// 5 access denied, ...), any other 11 (bad format). Never 193, which the report keeps
// for the bar's own memory failure.
constexpr int StartErrorCode(unsigned long error)
{
    return error == 8 || error == 14 ? 0 : error < 32 ? static_cast<int>(error) : 11;
}
