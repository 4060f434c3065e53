#include "tests/support/decoded_dump.h"

#include "catalog/program_group.h"

namespace testing_support {

std::string DumpDecoded(const uint8_t* data, size_t size, const CodePage& codec)
{
    CProgramGroup group;
    std::vector<std::string> names;
    std::vector<uint32_t> positions;
    if (group.LoadFromRecord("U", data, size, LOAD_ITEMS | LOAD_LIST, codec, GroupLists{&names, &positions}) != 0)
        return "refused";
    std::string out = group.m_strName + " @" + std::to_string(positions.at(0)) + "\n";
    for (const auto& item : group.m_items) {
        uint32_t icon = 0;
        if (item->m_nIconInfo != 0) {
            // FNV-1a over header, colour table, image and mask.
            icon = 2166136261u;
            for (size_t at = item->m_nIconInfo; at < size_t{item->m_nIconMask} + kIconMaskBytes; ++at)
                icon = (icon ^ data[at]) * 16777619u;
        }
        out += item->m_strTitle + "|" + item->m_strDirectory + "|" + item->m_strCommand + "|" +
               std::to_string(item->m_bMinimized) + "|" + std::to_string(item->m_ptIcon.x) + "," +
               std::to_string(item->m_ptIcon.y) + "|" + std::to_string(icon) + "\n";
    }
    return out;
}

}  // namespace testing_support
