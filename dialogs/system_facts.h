// What the About box computes from the machine's raw facts: grouped numbers, the colour
// count of a display, the name of a processor and the build stamp. Pure: the About box
// (dialogs/about_dlg.cpp) reads the machine and loads the texts, this only computes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The decimal digits with a comma before every full group of three from the right:
// 256 stays "256", 16384 becomes "16,384", 16777216 becomes "16,777,216".
std::string GroupDigits(uint64_t value);

// planes x 2^bitsPerPixel. A 32-bit display has 4,294,967,296, which does not fit 32 bits,
// so the count is 64-bit; nothing when an input is negative or the count exceeds 64 bits.
std::optional<uint64_t> ColourCount(int planes, int bitsPerPixel);

// The string-table id of the processor's name, from the processor type of the system
// information and, where the type names none, its processor architecture; 0 when neither
// names a processor.
unsigned ProcessorNameId(uint32_t processorType, uint16_t architecture);

// The compiler's time and date joined: "15:20:49 on Jul  6 1995".
std::string BuildStamp(const char* time, const char* date);
