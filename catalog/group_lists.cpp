#include "catalog/group_lists.h"

#include <algorithm>
#include <utility>

void SortGroupLists(std::vector<std::string>& sources, std::vector<std::string>& names,
                    std::vector<uint32_t>& positions)
{
    const size_t count = std::min({sources.size(), names.size(), positions.size()});
    for (size_t i = 0; i < count; ++i) {
        size_t best = i;
        for (size_t j = i + 1; j < count; ++j) {
            // With top in the high half, comparing the keys compares top, then left.
            if (positions[j] < positions[best])
                best = j;
        }
        std::swap(sources[i], sources[best]);
        std::swap(names[i], names[best]);
        std::swap(positions[i], positions[best]);
    }
}

int ClampGroupIndex(int group, size_t count)
{
    if (count == 0)
        return group;
    const int last = static_cast<int>(count - 1);
    if (group > last)
        return last;
    return group < 0 ? 0 : group;
}
