#include "authoring/group_writer.h"

#include <utility>

namespace {

constexpr char16_t kBackslash = u'\\';
constexpr char16_t kSpace = u' ';
constexpr uint32_t kIconHeaderBytes = 40;
constexpr size_t kMaxItems = 0xFFFF;
// The running offset of the tag walk is 16 bits wide.
constexpr size_t kMaxTagBytes = 0xFFFF;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t value)
{
    out[at] = static_cast<uint8_t>(value);
    out[at + 1] = static_cast<uint8_t>(value >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void Append16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

void Append32(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t AppendString(std::vector<uint8_t>& out, const std::u16string& text)
{
    const auto at = static_cast<uint32_t>(out.size());
    for (char16_t unit : text)
        Append16(out, static_cast<uint16_t>(unit));
    Append16(out, 0);
    return at;
}

void AlignTo4(std::vector<uint8_t>& out)
{
    while (out.size() % 4 != 0)
        out.push_back(0);
}

void AppendTag(std::vector<uint8_t>& out, uint16_t id, uint16_t item, const std::vector<uint8_t>& data)
{
    Append16(out, id);
    Append16(out, 0);
    Append16(out, item);
    Append16(out, 0);
    Append16(out, static_cast<uint16_t>(kTagHeaderSize + data.size()));
    Append16(out, 0);
    out.insert(out.end(), data.begin(), data.end());
}

std::vector<uint8_t> StringData(const std::u16string& text)
{
    std::vector<uint8_t> data;
    data.reserve(2 * text.size() + 2);
    for (char16_t unit : text)
        Append16(data, static_cast<uint16_t>(unit));
    Append16(data, 0);
    return data;
}

bool HasNul(const std::u16string& text)
{
    return text.find(u'\0') != std::u16string::npos;
}

// An absolute path on a drive, as the launcher recognises one: "X:\".
bool DrivePath(const std::u16string& text)
{
    return text.size() >= 3 && text[1] == u':' && text[2] == kBackslash;
}

// The last backslash before the first space, or npos.
size_t LastBackslashBeforeSpace(const std::u16string& text)
{
    size_t last = std::u16string::npos;
    for (size_t i = 0; i < text.size() && text[i] != kSpace; ++i) {
        if (text[i] == kBackslash)
            last = i;
    }
    return last;
}

uint32_t IconDepth(const StoredIcon& icon, uint32_t& headerSize)
{
    const std::vector<uint8_t>& b = icon.bytes;
    if (b.size() < kIconHeaderBits + 2)
        return 0;
    headerSize = static_cast<uint32_t>(b[0] | (b[1] << 8) | (b[2] << 16)) | (static_cast<uint32_t>(b[3]) << 24);
    const auto planes = static_cast<uint32_t>(b[kIconHeaderPlanes] | (b[kIconHeaderPlanes + 1] << 8));
    const auto bits = static_cast<uint32_t>(b[kIconHeaderBits] | (b[kIconHeaderBits + 1] << 8));
    return planes * bits;
}

// What the launcher's string reading hands over: up to the terminator, or the first
// kMaxStringUnits units of a longer string.
CodePage CapturingCodec(std::u16string& captured)
{
    CodePage codec;
    codec.fromWide = [&captured](const char16_t* units, size_t count, bool&) {
        captured.assign(units, count);
        if (!captured.empty() && captured.back() == u'\0')
            captured.pop_back();
        return std::string();
    };
    return codec;
}

}  // namespace

std::optional<StoredIcon> MakeIcon(uint16_t bitCount, std::vector<uint32_t> palette, const std::vector<uint8_t>& image,
                                   const std::vector<uint8_t>& mask)
{
    if ((bitCount != 1 && bitCount != 4 && bitCount != 8) || image.size() != size_t{128} * bitCount ||
        mask.size() != kIconMaskBytes || palette.size() > (size_t{1} << bitCount))
        return std::nullopt;
    palette.resize(size_t{1} << bitCount, 0);
    StoredIcon icon;
    std::vector<uint8_t>& out = icon.bytes;
    Append32(out, kIconHeaderBytes);
    Append32(out, kIconSize);
    Append32(out, kIconSize);  // positive: bottom row first, and only the colour image
    Append16(out, 1);
    Append16(out, bitCount);
    Append32(out, 0);  // uncompressed
    Append32(out, static_cast<uint32_t>(image.size()));
    out.resize(kIconHeaderBytes, 0);
    for (uint32_t entry : palette)
        Append32(out, entry);
    out.insert(out.end(), image.begin(), image.end());
    out.insert(out.end(), mask.begin(), mask.end());
    return icon;
}

bool IsDrawableIcon(const StoredIcon& icon)
{
    uint32_t headerSize = 0;
    const uint32_t depth = IconDepth(icon, headerSize);
    if (depth == 0 || depth > kMaxIconBitsPerPixel || headerSize < kIconHeaderBits + 2)
        return false;
    const uint64_t expected = uint64_t{headerSize} + (uint64_t{4} << depth) + uint64_t{128} * depth + kIconMaskBytes;
    return icon.bytes.size() == expected;
}

void ExpandCommand(const StoredCommand& stored, std::u16string& directory, std::u16string& commandLine)
{
    const std::u16string& field = stored.field;
    directory.clear();
    commandLine = field;
    if (DrivePath(field)) {
        const size_t last = LastBackslashBeforeSpace(field);
        directory = field.substr(0, last);
        commandLine = field.substr(last + 1);
    }
    for (const std::u16string& tag : stored.directories) {
        std::u16string prefix = tag;
        if (prefix.empty() || prefix.back() != kBackslash)
            prefix += kBackslash;
        commandLine = prefix + commandLine;
    }
}

WriteResult ComposeCommand(const std::u16string& commandLine, const std::u16string& directory, StoredCommand& out)
{
    if (commandLine.empty())
        return {WriteError::CommandEmpty, 0};
    if (HasNul(commandLine) || HasNul(directory))
        return {WriteError::NulInText, 0};
    // The launcher splits the working directory off at the last backslash before the
    // first space, so it must be a drive path without spaces.
    if (!directory.empty() &&
        (directory.size() < 2 || directory[1] != u':' || (directory.size() > 2 && directory[2] != kBackslash) ||
         directory.find(kSpace) != std::u16string::npos))
        return {WriteError::DirectoryUnusable, 0};

    StoredCommand stored;
    std::u16string rest = commandLine;
    const size_t cut = LastBackslashBeforeSpace(commandLine);
    // A program path would be taken for the working directory: move it into a tag.
    const bool needsTag = cut != std::u16string::npos && (!directory.empty() || DrivePath(commandLine));
    if (needsTag) {
        // The launcher adds the backslash unless the tag ends with one already.
        const bool keepBackslash = cut == 0 || commandLine[cut - 1] == kBackslash;
        stored.directories.push_back(commandLine.substr(0, keepBackslash ? cut + 1 : cut));
        rest = commandLine.substr(cut + 1);
    }
    stored.field = directory.empty() ? rest : directory + kBackslash + rest;

    if (stored.field.size() > kMaxWrittenUnits ||
        (!stored.directories.empty() && stored.directories[0].size() > kMaxWrittenUnits))
        return {WriteError::CommandTooLong, 0};
    std::u16string backDirectory, backCommand;
    ExpandCommand(stored, backDirectory, backCommand);
    if (backDirectory != directory || backCommand != commandLine)
        return {WriteError::DirectoryUnusable, 0};
    out = std::move(stored);
    return {};
}

namespace {

WriteResult CheckGroup(const WrittenGroup& group)
{
    if (group.name.size() > kMaxStringUnits)
        return {WriteError::NameTooLong, 0};
    if (HasNul(group.name))
        return {WriteError::NulInText, 0};
    if (group.items.size() > kMaxItems)
        return {WriteError::TooManyItems, 0};
    // Every tag must start where the 16-bit running offset of the walk reaches it.
    size_t tagBytes = 0;
    auto addTag = [&tagBytes](size_t bytes) {
        if (tagBytes > kMaxTagBytes)
            return false;
        tagBytes += bytes;
        return true;
    };
    for (size_t i = 0; i < group.items.size(); ++i) {
        const WrittenItem& item = group.items[i];
        if (item.title.size() > kMaxStringUnits)
            return {WriteError::TitleTooLong, i};
        if (item.command.field.size() > kMaxStringUnits)
            return {WriteError::CommandTooLong, i};
        if (HasNul(item.title) || HasNul(item.command.field))
            return {WriteError::NulInText, i};
        for (const std::u16string& directory : item.command.directories) {
            if (directory.size() > kMaxStringUnits)
                return {WriteError::CommandTooLong, i};
            if (HasNul(directory))
                return {WriteError::NulInText, i};
            if (!addTag(kTagHeaderSize + 2 * directory.size() + 2))
                return {WriteError::TagsTooLarge, i};
        }
        if (item.icon && !IsDrawableIcon(*item.icon))
            return {WriteError::BadIcon, i};
        if ((item.minimized && !addTag(kTagHeaderSize)) || (item.hotKey != 0 && !addTag(kTagHeaderSize + 2)))
            return {WriteError::TagsTooLarge, i};
    }
    return {};
}

}  // namespace

WriteResult WriteGroupRecord(const WrittenGroup& group, std::vector<uint8_t>& record)
{
    const WriteResult checked = CheckGroup(group);
    if (!checked.ok())
        return checked;

    std::vector<uint8_t> out(kHeaderItemTable + 4 * group.items.size(), 0);
    const uint32_t nameOffset = AppendString(out, group.name);
    for (size_t i = 0; i < group.items.size(); ++i) {
        const WrittenItem& item = group.items[i];
        AlignTo4(out);
        const size_t at = out.size();
        out.resize(at + kItemRecordSize, 0);
        const uint32_t title = AppendString(out, item.title);
        const uint32_t command = AppendString(out, item.command.field);
        uint32_t icon = 0;
        if (item.icon) {
            AlignTo4(out);
            icon = static_cast<uint32_t>(out.size());
            out.insert(out.end(), item.icon->bytes.begin(), item.icon->bytes.end());
        }
        if (out.size() > UINT32_MAX)
            return {WriteError::RecordTooLarge, i};
        Put32(out, kHeaderItemTable + 4 * i, static_cast<uint32_t>(at));
        Put32(out, at + kItemX, static_cast<uint32_t>(item.x));
        Put32(out, at + kItemY, static_cast<uint32_t>(item.y));
        Put32(out, at + kItemIcon, icon);
        Put32(out, at + kItemTitle, title);
        Put32(out, at + kItemCommand, command);
    }
    AlignTo4(out);
    const size_t segment = out.size();
    Put32(out, kHeaderSegmentSize, static_cast<uint32_t>(segment));
    Put16(out, kHeaderLeft, group.left);
    Put16(out, kHeaderTop, group.top);
    Put32(out, kHeaderName, nameOffset);
    Put16(out, kHeaderItemCount, static_cast<uint16_t>(group.items.size()));

    bool anyTag = false;
    for (size_t i = 0; i < group.items.size(); ++i) {
        const WrittenItem& item = group.items[i];
        if (!anyTag && (item.minimized || item.hotKey != 0 || !item.command.directories.empty())) {
            out.resize(out.size() + kTagListGap, 0);
            anyTag = true;
        }
        const auto index = static_cast<uint16_t>(i);
        for (const std::u16string& directory : item.command.directories)
            AppendTag(out, kTagDirectory, index, StringData(directory));
        if (item.minimized)
            AppendTag(out, kTagMinimize, index, {});
        if (item.hotKey != 0)
            AppendTag(out, kTagHotKey, index,
                      {static_cast<uint8_t>(item.hotKey), static_cast<uint8_t>(item.hotKey >> 8)});
    }
    if (anyTag)
        AppendTag(out, kTagEnd, kTagNoItem, {});
    if (out.size() > UINT32_MAX)
        return {WriteError::RecordTooLarge, 0};
    record = std::move(out);
    return {};
}

bool ReadGroupForWriting(const uint8_t* data, size_t size, WrittenGroup& group)
{
    std::u16string captured;
    const CodePage codec = CapturingCodec(captured);
    GroupRecord reader(data, size, codec);
    GroupHeader header;
    std::string ignored;
    if (!data || size == 0 || !reader.ReadHeader(header) || !reader.ReadString(header.nameOffset, ignored))
        return false;
    WrittenGroup result;
    result.name = captured;
    result.left = header.left;
    result.top = header.top;

    for (uint32_t slot = 0; slot < header.itemCount; ++slot) {
        uint32_t offset = 0;
        ItemRecord record;
        if (!reader.ReadItemSlot(header, static_cast<uint16_t>(slot), offset) || offset == 0 ||
            !reader.ReadItem(offset, record))
            continue;
        WrittenItem item;
        if (!reader.ReadString(record.titleOffset, ignored))
            continue;
        item.title = captured;
        if (!reader.ReadString(record.commandOffset, ignored))
            continue;
        item.command.field = captured;
        item.x = record.x;
        item.y = record.y;
        IconLocation icon;
        if (reader.LocateIcon(record.iconOffset, icon))
            item.icon = StoredIcon{std::vector<uint8_t>(data + icon.info, data + icon.mask + kIconMaskBytes)};
        result.items.push_back(std::move(item));
    }

    reader.WalkTags(header, [&](const Tag& tag) {
        if (tag.item == kTagNoItem || tag.item >= result.items.size())
            return;
        WrittenItem& item = result.items[tag.item];
        if (tag.id == kTagDirectory) {
            if (reader.ReadTagString(tag, ignored))
                item.command.directories.push_back(captured);
        } else if (tag.id == kTagMinimize) {
            item.minimized = true;
        } else if (tag.id == kTagHotKey && tag.dataSize >= 2) {
            item.hotKey = static_cast<uint16_t>(tag.data[0] | (tag.data[1] << 8));
        }
    });
    group = std::move(result);
    return true;
}
