// The authoring tool's messages: texts from its string table with %1, %2, %3 filled in,
// written to standard output or standard error (UTF-8 when redirected).
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

namespace authoring {

std::wstring Text(UINT id);
std::wstring Fill(UINT id, std::initializer_list<std::wstring> args);
void Say(UINT id, std::initializer_list<std::wstring> args = {});
void Complain(UINT id, std::initializer_list<std::wstring> args = {});

std::wstring FromAnsi(const std::string& text);

}  // namespace authoring
