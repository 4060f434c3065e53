#include "app/settings_scan.h"

#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads one signed decimal at *p; false (and *p unchanged) when there is none.
bool ScanInt(const char*& p, int& value)
{
    const char* s = p;
    while (IsBlank(*s))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    if (*s < '0' || *s > '9')
        return false;
    // Accumulate toward the limit in a wide type and stop growing once past it.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        if (magnitude <= limit)
            magnitude = magnitude * 10 + (*s - '0');
    }
    if (magnitude > limit)
        magnitude = limit;
    value = static_cast<int>(negative ? -magnitude : magnitude);
    p = s;
    return true;
}

}  // namespace

int ScanIntFields(const char* text, std::initializer_list<int*> fields)
{
    if (!text)
        return 0;
    const char* p = text;
    int stored = 0;
    for (int* field : fields) {
        if (stored > 0) {
            if (*p != ',')
                break;
            ++p;
        }
        int value = 0;
        if (!ScanInt(p, value))
            break;
        if (field)
            *field = value;
        ++stored;
    }
    return stored;
}
