#include "catalog/code_page.h"

size_t CharLength(const std::string& text, size_t i, const CodePage& codePage)
{
    const bool lead = codePage.isLeadByte && codePage.isLeadByte(static_cast<unsigned char>(text[i]));
    return lead && i + 1 < text.size() ? 2 : 1;
}

bool EndsWithBackslash(const std::string& text, const CodePage& codePage)
{
    size_t last = text.size();
    for (size_t i = 0; i < text.size(); i += CharLength(text, i, codePage))
        last = i;
    return last + 1 == text.size() && text[last] == '\\';
}
