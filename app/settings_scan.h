// Reading the composite settings values ("32,32", "200,200,232,400,0,606"): signed
// decimal fields separated by commas, scanned field by field. Pure code.
#pragma once

#include <initializer_list>

// Scans fields of the form "%d,%d,...": each field may have leading white space and a
// sign; a comma must follow the previous field at once. Scanning stops at the first
// field that does not match; fields not reached keep their value. Text after the last
// field is ignored. A number beyond the 32-bit range reads as the nearest limit
// (INT_MIN or INT_MAX). Returns the number of fields stored.
int ScanIntFields(const char* text, std::initializer_list<int*> fields);
