// CLaunchApp's groups: the sorted group lists, the current group and its icon strip,
// read through the catalogue.
#include "app/launch_app.h"

#include "buttonbar/button_bar_wnd.h"
#include "catalog/group_lists.h"
#include "catalog/group_sources.h"
#include "catalog/icon_strip.h"
#include "framework/step_marks.h"

void CLaunchApp::LoadGroupLists()
{
    m_group.RemoveAllItems();
    m_groupNames.clear();
    m_groupSources.clear();
    m_groupPositions.clear();

    const GroupLists lists = {&m_groupNames, &m_groupPositions};
    ListGroups(m_group, m_groupSources, lists);
    QL_MARK_STEP("group list: every record read");
    SortGroupLists(m_groupSources, m_groupNames, m_groupPositions);
    m_nGroup = ClampGroupIndex(m_nGroup, m_groupSources.size());
    QL_MARK_STEP("group list sorted");
}

uint16_t CLaunchApp::LoadCurrentGroup()
{
    if (m_nGroup < 0 || static_cast<size_t>(m_nGroup) >= m_groupSources.size()) {
        m_group.RemoveAllItems();
        m_group.m_strSource.clear();
        m_group.m_strName.clear();
        return 0;
    }
    // One read serves the items and their icons.
    const std::string& source = m_groupSources[static_cast<size_t>(m_nGroup)];
    uint32_t size = 0;
    const std::unique_ptr<uint8_t[]> record = ReadGroupRecord(source, &size);
    if (!record || m_group.LoadFromRecord(source, record.get(), size, LOAD_ITEMS, PlatformCodePage(), {}) != 0)
        return 1;
    QL_MARK_STEP("current group read and decoded");
    BuildIconStrip(record.get(), size);
    QL_MARK_STEP("icon strip");
    return 0;
}

void CLaunchApp::BuildIconStrip(const uint8_t* record, size_t size)
{
    // A group of thousands of items gets images for its first cells only. Their number
    // depends on the button width and the items alone: the caption height, which costs
    // the platform a look at its display settings, is not asked for it.
    ButtonLayout cells;
    cells.buttonWidth = m_nButtonWidth;
    cells.itemCount = m_group.ItemCount();
    DrawIconStrip(m_pButtonWnd ? m_pButtonWnd->m_hWnd : nullptr, record, size, m_group,
                  EffectiveButtonSize(m_nButtonWidth), EffectiveButtonSize(m_nButtonHeight), IconStripCells(cells),
                  m_iconStrip, m_sizeIconStrip);
}
