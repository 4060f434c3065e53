// CLaunchApp's groups: the sorted group lists, the current group and its icon strip,
// read through the catalogue.
#include "app/launch_app.h"

#include "buttonbar/button_bar_wnd.h"
#include "catalog/group_lists.h"
#include "catalog/group_sources.h"
#include "catalog/icon_strip.h"

void CLaunchApp::LoadGroups()
{
    m_group.RemoveAllItems();
    m_groupNames.clear();
    m_groupSources.clear();
    m_groupPositions.clear();

    const GroupLists lists = {&m_groupNames, &m_groupPositions};
    ListGroups(m_group, m_groupSources, lists);
    SortGroupLists(m_groupSources, m_groupNames, m_groupPositions);
    m_nGroup = ClampGroupIndex(m_nGroup, m_groupSources.size());
    if (!m_groupSources.empty())
        m_group.Load(m_groupSources[static_cast<size_t>(m_nGroup)], LOAD_ITEMS, lists);
}

void CLaunchApp::BuildIconStrip(const std::string& source)
{
    // A group of thousands of items gets images for its first cells only.
    DrawIconStrip(m_pButtonWnd ? m_pButtonWnd->m_hWnd : nullptr, source, m_group, EffectiveButtonSize(m_nButtonWidth),
                  EffectiveButtonSize(m_nButtonHeight), IconStripCells(Layout()), m_iconStrip, m_sizeIconStrip);
}
