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
        !record->ReadString(item.commandOffset, command, &m_bExact)) {
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
                                       uint16_t flags, const CodePage& codec, const GroupLists& lists)
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
            bool exact = true;
            if (!reader.ReadTagString(tag, directory, &exact))
                return;
            item.m_bExact = item.m_bExact && exact;
            if (!EndsWithBackslash(directory, codec))
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
    // The order is that of a selection sort: for each place i, the first entry from i on
    // with the smallest (y, x) is exchanged with the entry at i, so among equal positions
    // those exchanges decide the order. A tree of minima over the places finds that entry
    // in logarithmic time, so that 65,535 items do not cost billions of comparisons.
    const size_t n = items.size();
    if (n < 2)
        return;
    size_t leaves = 1;
    while (leaves < n)
        leaves *= 2;
    const size_t none = n;
    // Each node holds the place of the first smallest entry below it, or none.
    std::vector<size_t> tree(2 * leaves, none);
    auto first = [&](size_t a, size_t b) {
        if (a == none || b == none)
            return a == none ? b : a;
        const IconPoint& p = items[a]->m_ptIcon;
        const IconPoint& q = items[b]->m_ptIcon;
        if (p.y != q.y)
            return p.y < q.y ? a : b;
        if (p.x != q.x)
            return p.x < q.x ? a : b;
        return a < b ? a : b;
    };
    auto set = [&](size_t place, size_t value) {
        size_t node = leaves + place;
        tree[node] = value;
        for (node /= 2; node > 0; node /= 2)
            tree[node] = first(tree[2 * node], tree[2 * node + 1]);
    };
    for (size_t i = 0; i < n; ++i)
        tree[leaves + i] = i;
    for (size_t node = leaves - 1; node > 0; --node)
        tree[node] = first(tree[2 * node], tree[2 * node + 1]);

    for (size_t i = 0; i + 1 < n; ++i) {
        const size_t best = tree[1];  // places before i have left the tree
        std::swap(items[i], items[best]);
        set(i, none);
        if (best != i)
            set(best, best);  // another entry stands there now
    }
}
