// The current program group and its items, as the button window shows them. The
// application object holds one group by value; the group owns its items. Decoding a
// record into a group is pure code; reading the record from the registry is not.
#pragma once

#include "catalog/group_record.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Flags of CProgramGroup::Load.
constexpr uint16_t LOAD_ITEMS = 1;  // clear and refill the group from the record
constexpr uint16_t LOAD_LIST = 2;   // append the group's name and position key to the lists

struct IconPoint {
    int32_t x = 0;
    int32_t y = 0;
};

class CProgramItem {
public:
    // Builds an item from the item record at itemOffset. *pError is 0 on success and 1
    // when there is no record, or when the item record or its strings do not lie whole
    // inside it (such an item is dropped by the caller). An icon that does not lie whole
    // inside the record leaves the three icon offsets 0: the item shows no icon.
    CProgramItem(const GroupRecord* record, uint32_t itemOffset, uint16_t* pError);
    CProgramItem() = default;
    virtual ~CProgramItem() = default;

    IconPoint m_ptIcon;          // place in the group window; the display-order key
    std::string m_strTitle;
    std::string m_strCommand;    // program and arguments
    std::string m_strDirectory;  // working directory; may be empty
    uint16_t m_bMinimized = 0;
    // False when the code page lacked a character of the command or the directory: they
    // would name another program or folder, and the item is not started.
    bool m_bExact = true;
    uint32_t m_nIconInfo = 0;  // offsets into the group record
    uint32_t m_nIconMask = 0;
    uint32_t m_nIconBits = 0;
};

// The lists a LOAD_LIST load appends to (the application's group names and positions);
// a list that is not given is not appended to.
struct GroupLists {
    std::vector<std::string>* names = nullptr;
    std::vector<uint32_t>* positions = nullptr;
};

class CProgramGroup {
public:
    CProgramGroup() = default;
    virtual ~CProgramGroup() { RemoveAllItems(); }
    CProgramGroup(const CProgramGroup&) = delete;
    CProgramGroup& operator=(const CProgramGroup&) = delete;

    void RemoveAllItems();
    int ItemCount() const { return static_cast<int>(m_items.size()); }

    // Reads the record named by the source from the registry (catalog/group_load.cpp)
    // and decodes it: 0 on success, 1 when there is no source or the record cannot be
    // read or is refused. A LOAD_LIST load appends to the lists given.
    uint16_t Load(const std::string& source, uint16_t flags, const GroupLists& lists = {});

    // The decoding half of Load, for a record already read. A record too short for its
    // header, item table or name is refused (1) and changes nothing; a damaged item is
    // left out; a damaged tag ends the tag list.
    uint16_t LoadFromRecord(const std::string& source, const uint8_t* record, size_t size, uint16_t flags,
                            const CodePage& codec, const GroupLists& lists);

    std::string m_strSource;  // root letter and registry key path
    std::string m_strName;
    std::vector<std::unique_ptr<CProgramItem>> m_items;  // display order; index = button index
};

// Splits a command line into working directory and command: an absolute path on a
// drive ("C:\...") is cut at its last backslash before the first space.
void SplitCommand(const std::string& text, std::string& directory, std::string& command);

// Orders items by (y, x) as a selection sort does, whose exchanges decide among equal keys.
void SortItemsByPosition(std::vector<std::unique_ptr<CProgramItem>>& items);
