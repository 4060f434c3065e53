#include "catalog/program_group.h"

void CProgramGroup::RemoveAllItems()
{
    m_items.clear();
}
