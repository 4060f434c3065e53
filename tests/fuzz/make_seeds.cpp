// Writes the fuzzer's seed corpus: small records, well-formed and damaged, that reach
// every part of the format. Usage: make_seeds <folder>
#include "tests/support/group_record_builder.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

GroupRecordBuilder Rich()
{
    GroupRecordBuilder builder(u"Accessories");
    builder.Position(40, 20);
    builder.AddItem(GroupItem{u"Notepad", u"C:\\WIN\\NOTEPAD.EXE README.TXT", 80, 0, SolidIcon(4, Rgb(255, 0, 0))});
    builder.AddEmptySlot();
    builder.AddItem(GroupItem{u"Paint", u"C:\\PBRUSH.EXE", 10, 0,
                              QuarterIcon(8, Rgb(0, 255, 0), Rgb(0, 0, 255), TransparentMask())});
    builder.AddItem(GroupItem{u"Clock", u"CLOCK.EXE", 10, 40, SolidIcon(1, Rgb(255, 255, 255))});
    builder.DirectoryTag(2, u"D:\\TOOLS");
    builder.MinimizeTag(0);
    builder.RawTag(0x8102, 1, {1, 0, 2, 0});
    builder.MinimizeTag(0xFFFF);
    return builder;
}

GroupRecordBuilder Small()
{
    GroupRecordBuilder builder(u"Games");
    builder.AddItem(u"Solitaire", u"C:\\GAMES\\SOL.EXE");
    builder.AddItem(u"Mines", u"WINMINE.EXE", 70, 0);
    builder.MinimizeTag(1);
    return builder;
}

bool Write(const std::string& folder, const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    RecordLayout layout;
    std::vector<uint8_t> bytes;

    ok &= Write(folder, "empty_group", GroupRecordBuilder(u"Empty").Build());
    ok &= Write(folder, "small_group", Small().Build());
    ok &= Write(folder, "rich_group", Rich().Build());
    ok &= Write(folder, "end_tag_only", GroupRecordBuilder(u"E").WithTagList().Build());

    GroupRecordBuilder wide(u"\u30A2\u8868");
    wide.AddItem(u"\u8868", u"C:\\\u8868\\X.EXE");
    wide.DirectoryTag(0, u"D:\\\u80FD");
    ok &= Write(folder, "double_byte_text", wide.Build());

    GroupRecordBuilder deep(u"Deep");
    deep.AddItem(GroupItem{u"True colour", u"TC.EXE", 0, 0, BlankIcon(1, 24)});
    ok &= Write(folder, "deep_icon", deep.Build());

    GroupRecordBuilder longText(std::u16string(300, u'N'));
    longText.AddItem(std::u16string(260, u'T'), u"C:\\" + std::u16string(270, u'X'));
    ok &= Write(folder, "long_text", longText.Build());

    bytes = Rich().Build(&layout);
    bytes.resize(bytes.size() / 2);
    ok &= Write(folder, "rich_cut_in_half", bytes);

    ok &= Write(folder, "tag_of_size_0", Small().RawTag(0x8103, 0, {}, 0).MinimizeTag(0).Build());
    ok &= Write(folder, "tag_too_long", Small().RawTag(0x8101, 0, Utf16Bytes(u"D:\\"), 0xFFF0).Build());
    ok &= Write(folder, "no_end_tag", Small().WithoutEndTag().Build());
    ok &= Write(folder, "directory_unterminated", Small().RawTag(0x8101, 0, Utf16Bytes(u"D:\\X", false)).Build());
    ok &= Write(folder, "item_count_too_big", Small().ItemCountField(0xFFFF).Build());

    bytes = Small().Build(&layout);
    PutU32(bytes, layout.slots[1], 0xFFFFFFF0u);
    ok &= Write(folder, "slot_outside", bytes);

    bytes = GroupRecordBuilder().Build();
    PutU32(bytes, 0x24, AppendUnterminatedString(bytes, u"Unending"));
    ok &= Write(folder, "name_unterminated", bytes);

    bytes = Rich().Build(&layout);
    PutU32(bytes, layout.items[0].icon.info, 0xFFFFFF00u);
    ok &= Write(folder, "icon_header_size_huge", bytes);

    bytes = Small().Build();
    PutU32(bytes, 0x04, static_cast<uint32_t>(bytes.size()));
    ok &= Write(folder, "segment_is_whole_record", bytes);

    // Slow inputs: any decoding cost beyond what is kept makes the run time out.
    ok &= Write(folder, "every_item_slot_one_long_item", OneItemInEverySlotRecord(40000));

    if (!ok) {
        std::fprintf(stderr, "could not write the seeds into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
