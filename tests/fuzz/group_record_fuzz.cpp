// libFuzzer target: decodes any bytes as a group record, as a registry value may hold
// anything, and checks what the rest of the program relies on afterwards. A record that
// is accepted is also read into the writer's form and written again: the launcher must
// see the same group in the new record, and reading that gives back the same form.
#include "authoring/group_writer.h"
#include "catalog/program_group.h"

#include "tests/support/decoded_dump.h"
#include "tests/support/host_codec.h"

#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr size_t kRoundTripLimit = 64 * 1024;

const CodePage& Codec()
{
    static const CodePage codec = testing_support::HostCodec();
    return codec;
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool InsideRecord(const uint8_t* data, size_t size, const uint8_t* part, size_t partSize)
{
    return part >= data && part <= data + size && partSize <= static_cast<size_t>(data + size - part);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The group already holds an item, so that a refused record can be seen to change nothing.
    CProgramGroup group;
    group.m_strSource = "UProgram Groups\\Before";
    group.m_strName = "Before";
    group.m_items.push_back(std::make_unique<CProgramItem>());
    std::vector<std::string> names;
    std::vector<uint32_t> positions;

    const uint16_t status = group.LoadFromRecord("UProgram Groups\\Fuzz", data, size, LOAD_ITEMS | LOAD_LIST, Codec(),
                                                 GroupLists{&names, &positions});
    if (status != 0) {
        Require(status == 1 && names.empty() && positions.empty() && group.m_strName == "Before" &&
                group.m_items.size() == 1);
        return 0;
    }
    Require(names.size() == 1 && positions.size() == 1 && names[0] == group.m_strName);
    Require(group.m_strName.size() <= kMaxStringBytes);

    GroupRecord record(data, size, Codec());
    volatile unsigned sink = 0;
    // Many items may share one icon; each is read once, so that this check stays linear.
    std::set<uint32_t> iconsRead;
    for (size_t i = 0; i < group.m_items.size(); ++i) {
        Require(group.m_items[i] != nullptr);
        const CProgramItem& item = *group.m_items[i];
        Require(item.m_strTitle.size() <= kMaxStringBytes && item.m_strDirectory.size() <= kMaxStringBytes);
        if (i > 0) {
            const IconPoint& before = group.m_items[i - 1]->m_ptIcon;
            Require(before.y < item.m_ptIcon.y || (before.y == item.m_ptIcon.y && before.x <= item.m_ptIcon.x));
        }
        if (item.m_nIconInfo == 0 && item.m_nIconBits == 0 && item.m_nIconMask == 0)
            continue;
        // Everything the icon strip hands to the platform must be inside the record.
        IconLocation icon;
        Require(record.LocateIcon(item.m_nIconInfo, icon));
        Require(icon.bits == item.m_nIconBits && icon.mask == item.m_nIconMask);
        Require(record.Contains(icon.info, uint64_t{icon.mask} + kIconMaskBytes - icon.info));
        if (!iconsRead.insert(icon.info).second)
            continue;
        for (uint64_t at = icon.info; at < uint64_t{icon.mask} + kIconMaskBytes; ++at)
            sink = sink + data[at];
    }

    GroupHeader header;
    Require(record.ReadHeader(header));
    record.WalkTags(header, [&](const Tag& tag) {
        Require(InsideRecord(data, size, tag.data, tag.dataSize));
        std::string text;
        if (record.ReadTagString(tag, text))
            Require(text.size() <= kMaxStringBytes);
    });

    // The largest seeds point thousands of slots at one icon, which the writer stores
    // once per item; they are decoded above but not written again.
    if (size > kRoundTripLimit)
        return 0;
    WrittenGroup written;
    Require(ReadGroupForWriting(data, size, written));
    std::vector<uint8_t> again;
    Require(WriteGroupRecord(written, again).ok());
    Require(testing_support::DumpDecoded(again, Codec()) == testing_support::DumpDecoded(data, size, Codec()));
    WrittenGroup reread;
    Require(ReadGroupForWriting(again.data(), again.size(), reread));
    Require(reread.name == written.name && reread.left == written.left && reread.top == written.top &&
            reread.items == written.items);
    return 0;
}
