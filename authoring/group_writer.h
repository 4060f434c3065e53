// Writing Program Manager group records, and reading them back into the form they are
// written from. The launcher only reads records; this side makes them for the group
// authoring tool and the demonstration groups. Pure code.
//
// A record keeps a command as one string that the launcher splits into working
// directory and program, plus directory tags that it puts in front of the program.
// StoredCommand is that stored form; ComposeCommand turns a command line and a working
// directory into it, and refuses the pairs the launcher could not get back.
#pragma once

#include "catalog/group_record.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Hot keys are kept in a tag of their own, which the launcher passes over.
constexpr uint16_t kTagHotKey = 0x8102;
// Written strings must come back whole: the launcher looks at no more units than this.
constexpr size_t kMaxWrittenUnits = kMaxStringUnits - 1;

struct StoredCommand {
    std::u16string field;                    // the item's command string
    std::vector<std::u16string> directories;  // directory tags, in the order they apply

    bool operator==(const StoredCommand& other) const
    {
        return field == other.field && directories == other.directories;
    }
};

// An icon as the record stores it: bitmap information header, colour table, image and
// mask, back to back, exactly the bytes the launcher reads.
struct StoredIcon {
    std::vector<uint8_t> bytes;
    bool operator==(const StoredIcon& other) const { return bytes == other.bytes; }
};

struct WrittenItem {
    std::u16string title;
    StoredCommand command;
    bool minimized = false;
    uint16_t hotKey = 0;  // 0: none
    int32_t x = 0;
    int32_t y = 0;
    std::optional<StoredIcon> icon;

    bool operator==(const WrittenItem& other) const
    {
        return title == other.title && command == other.command && minimized == other.minimized &&
               hotKey == other.hotKey && x == other.x && y == other.y && icon == other.icon;
    }
};

struct WrittenGroup {
    std::u16string name;
    uint16_t left = 0;
    uint16_t top = 0;
    std::vector<WrittenItem> items;  // in the order of the item offsets table
};

enum class WriteError {
    None,
    NameTooLong,      // more than kMaxWrittenUnits units
    TitleTooLong,
    CommandTooLong,   // the command string or a directory tag
    CommandEmpty,
    DirectoryUnusable,  // a working directory the launcher would not split off the command
    NulInText,        // a 0 unit inside a string would end it early
    BadIcon,
    TooManyItems,     // more than 65,535
    TagsTooLarge,     // the tag list outgrows its 16-bit running offset
    RecordTooLarge,
};

struct WriteResult {
    WriteError error = WriteError::None;
    size_t item = 0;  // the item at fault, for the item errors
    bool ok() const { return error == WriteError::None; }
};

// A 32 x 32 icon of 1, 4 or 8 bits per pixel: a 40-byte header, the palette padded to its
// 2^bits entries (0x00RRGGBB each), the image and the mask as stored (bottom row first).
// Refused (nullopt) when the image or mask has the wrong size.
std::optional<StoredIcon> MakeIcon(uint16_t bitCount, std::vector<uint32_t> palette, const std::vector<uint8_t>& image,
                                   const std::vector<uint8_t>& mask);
// True when the bytes hold exactly one icon the launcher draws.
bool IsDrawableIcon(const StoredIcon& icon);

// The stored form of a command line run in a working directory (empty: none).
WriteResult ComposeCommand(const std::u16string& commandLine, const std::u16string& directory, StoredCommand& out);
// What the launcher makes of a stored command, in UTF-16: working directory and command.
void ExpandCommand(const StoredCommand& stored, std::u16string& directory, std::u16string& commandLine);

// Writes a group as a record. Nothing is written unless the whole group fits.
WriteResult WriteGroupRecord(const WrittenGroup& group, std::vector<uint8_t>& record);

// Reads a record into the form it could be written from, accepting and leaving out
// exactly what the launcher does; tags it does not act on (but the hot key) are dropped.
// False when the launcher would refuse the record.
bool ReadGroupForWriting(const uint8_t* data, size_t size, WrittenGroup& group);
