// CLaunchApp's reads of the current group apart from a rebuild of the bar, for callers
// that want its items or its icon strip alone. The launcher itself reads the group once
// per switch (LoadCurrentGroup); this file of its own keeps these out of its executable.
#include "app/launch_app.h"

#include "catalog/group_sources.h"

void CLaunchApp::LoadGroups()
{
    LoadGroupLists();
    if (!m_groupSources.empty())
        m_group.Load(m_groupSources[static_cast<size_t>(m_nGroup)], LOAD_ITEMS);
}

void CLaunchApp::BuildIconStrip(const std::string& source)
{
    uint32_t size = 0;
    const std::unique_ptr<uint8_t[]> record = ReadGroupRecord(source, &size);
    BuildIconStrip(record.get(), size);
}
