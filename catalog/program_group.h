// The current program group and its items, as the button window shows them. The
// application object holds one group by value; the group owns its items.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct IconPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class CProgramItem {
public:
    virtual ~CProgramItem() = default;

    IconPoint m_ptIcon;          // place in the group window; the display-order key
    std::string m_strTitle;
    std::string m_strCommand;    // program and arguments
    std::string m_strDirectory;  // working directory; may be empty
    uint16_t m_bMinimized = 0;
    uint32_t m_nIconInfo = 0;  // offsets into the group record
    uint32_t m_nIconMask = 0;
    uint32_t m_nIconBits = 0;
};

class CProgramGroup {
public:
    CProgramGroup() = default;
    virtual ~CProgramGroup() { RemoveAllItems(); }
    CProgramGroup(const CProgramGroup&) = delete;
    CProgramGroup& operator=(const CProgramGroup&) = delete;

    void RemoveAllItems();
    int ItemCount() const { return static_cast<int>(m_items.size()); }

    std::string m_strSource;  // root letter and registry key path
    std::string m_strName;
    std::vector<std::unique_ptr<CProgramItem>> m_items;  // display order; index = button index
};
