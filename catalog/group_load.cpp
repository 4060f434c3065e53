// Reading one group whole by its source, apart from the launcher's own reads (which go
// through ListGroups and ReadGroupRecord): in a file of its own, so that a program that
// does not call it carries none of it.
#include "catalog/group_sources.h"

uint16_t CProgramGroup::Load(const std::string& source, uint16_t flags, const GroupLists& lists)
{
    if (source.empty())
        return 1;
    uint32_t size = 0;
    std::unique_ptr<uint8_t[]> record = ReadGroupRecord(source, &size);
    if (!record || size == 0)
        return 1;
    return LoadFromRecord(source, record.get(), size, flags, PlatformCodePage(), lists);
}
