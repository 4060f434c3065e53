// Forced into every translation unit of the shipped programs (see cmake/windows.cmake).
// libstdc++ declares its std::string members as instantiated in the library, so each
// call goes to string-inst.o, which the static link then takes whole: about 33 KB of
// code and unwind tables, most of it members the programs never call. Turning those
// declarations off for std::string alone (the library's own switch, the one its
// assertion mode uses) instantiates only the members used, and --gc-sections keeps just
// those. The behaviour is the library's own either way.
#pragma once
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE -1
