#include "catalog/program_group.h"

#include <new>
#include <utility>

namespace {

constexpr char kBackslash = '\\';

}  // namespace

CProgramItem::CProgramItem(const GroupRecord* record, uint32_t itemOffset, uint16_t* pError)
{
    uint16_t ignored = 0;
    uint16_t& error = pError ? *pError : ignored;
    error = 0;
    ItemRecord item;
    std::string title, command;
    if (!record || !record->ReadItem(itemOffset, item) || !record->ReadString(item.titleOffset, title) ||
        !record->ReadString(item.commandOffset, command)) {
        error = 1;
        return;
    }
    m_ptIcon = {item.x, item.y};
    IconLocation icon;
    if (record->LocateIcon(item.iconOffset, icon)) {
        m_nIconInfo = icon.info;
        m_nIconBits = icon.bits;
        m_nIconMask = icon.mask;
    }
    m_strTitle = std::move(title);
    SplitCommand(command, m_strDirectory, m_strCommand);
    m_bMinimized = 0;
}

void CProgramGroup::RemoveAllItems()
{
    m_items.clear();
}

uint16_t CProgramGroup::LoadFromRecord(const std::string& source, const uint8_t* record, size_t size,
                                       uint16_t flags, const AnsiCodec& codec, const GroupLists& lists)
{
    if (source.empty() || !record || size == 0)
        return 1;
    GroupRecord reader(record, size, codec);
    GroupHeader header;
    std::string name;
    if (!reader.ReadHeader(header) || !reader.ReadString(header.nameOffset, name))
        return 1;

    if (flags & LOAD_LIST) {
        if (lists.names)
            lists.names->push_back(name);
        if (lists.positions)
            lists.positions->push_back(header.PositionKey());
    }
    if (!(flags & LOAD_ITEMS))
        return 0;

    RemoveAllItems();
    m_strSource = source;
    m_strName = std::move(name);

    for (uint32_t slot = 0; slot < header.itemCount; ++slot) {
        uint32_t offset = 0;
        // An empty slot makes no item and takes no place that tags count.
        if (!reader.ReadItemSlot(header, static_cast<uint16_t>(slot), offset) || offset == 0)
            continue;
        uint16_t error = 0;
        std::unique_ptr<CProgramItem> item(new (std::nothrow) CProgramItem(&reader, offset, &error));
        if (item && !error)
            m_items.push_back(std::move(item));
    }

    // Tags name items by their place in the list as built, before it is sorted.
    reader.WalkTags(header, [&](const Tag& tag) {
        if (tag.item == kTagNoItem || tag.item >= m_items.size())
            return;
        CProgramItem& item = *m_items[tag.item];
        if (tag.id == kTagDirectory) {
            std::string directory;
            if (!reader.ReadTagString(tag, directory))
                return;
            if (!codec.endsWithBackslash || !codec.endsWithBackslash(directory))
                directory += kBackslash;
            item.m_strCommand = directory + item.m_strCommand;
        } else if (tag.id == kTagMinimize) {
            item.m_bMinimized = 1;
        }
    });

    SortItemsByPosition(m_items);
    return 0;
}

void SplitCommand(const std::string& text, std::string& directory, std::string& command)
{
    // Bytes, not characters, are looked at here: a trail byte equal to '\' counts too.
    if (text.size() >= 3 && text[1] == ':' && text[2] == kBackslash) {
        size_t last = 2;
        for (size_t i = 0; i < text.size() && text[i] != ' '; ++i) {
            if (text[i] == kBackslash)
                last = i;
        }
        directory = text.substr(0, last);
        command = text.substr(last + 1);
    } else {
        directory.clear();
        command = text;
    }
}

void SortItemsByPosition(std::vector<std::unique_ptr<CProgramItem>>& items)
{
    // A selection sort on purpose: among equal positions its exchanges decide the order.
    for (size_t i = 0; i < items.size(); ++i) {
        size_t best = i;
        for (size_t j = i + 1; j < items.size(); ++j) {
            const IconPoint& candidate = items[j]->m_ptIcon;
            const IconPoint& current = items[best]->m_ptIcon;
            if (candidate.y < current.y || (candidate.y == current.y && candidate.x < current.x))
                best = j;
        }
        std::swap(items[i], items[best]);
    }
}
