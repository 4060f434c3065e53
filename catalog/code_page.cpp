#include "catalog/code_page.h"

size_t CharLength(const std::string& text, size_t i, const CodePage& codePage)
{
    const auto byte = static_cast<unsigned char>(text[i]);
    if (codePage.utf8) {
        // A lead byte says how many continuation bytes (10xxxxxx) follow; only those
        // that are there count.
        const size_t wanted = byte < 0xC0 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : byte < 0xF8 ? 4 : 1;
        size_t length = 1;
        while (length < wanted && i + length < text.size() &&
               (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        return length;
    }
    const bool lead = codePage.isLeadByte && codePage.isLeadByte(byte);
    return lead && i + 1 < text.size() ? 2 : 1;
}

size_t WholePrefix(const std::string& text, size_t limit, const CodePage& codePage)
{
    if (text.size() <= limit)
        return text.size();
    // The last character boundary at or before the limit.
    size_t kept = 0;
    for (size_t next = 0; next <= limit; next += CharLength(text, next, codePage))
        kept = next;
    return kept;
}

bool EndsWithBackslash(const std::string& text, const CodePage& codePage)
{
    size_t last = text.size();
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, codePage))
        last = i;
    return last + 1 == text.size() && text[last] == '\\';
}
