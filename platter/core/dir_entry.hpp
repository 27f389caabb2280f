#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "platter/core/track_sector.hpp"

namespace platter {

// CBM file types held in bits 0-2 of an entry's type byte.
enum cbm_file_type : std::uint8_t {
    kTypeDel = 0,
    kTypeSeq = 1,
    kTypePrg = 2,
    kTypeUsr = 3,
    kTypeRel = 4,
    kTypeCbm = 5,  // 1581 partition
    kTypeDir = 6,  // native subdirectory
};

// One 32-byte directory entry, a copy of the bytes stored in a directory block.
struct dir_entry_t {
    static constexpr std::size_t kSize = 32;
    static constexpr std::size_t kNameOffset = 5;
    static constexpr std::size_t kNameLength = 16;
    static constexpr std::uint8_t kClosedDel = 0x80;

    std::array<std::uint8_t, kSize> bytes{};

    static dir_entry_t fromBytes(std::span<const std::uint8_t> raw);

    std::uint8_t typeByte() const { return bytes[2]; }
    std::uint8_t fileType() const { return bytes[2] & 7; }
    bool isLocked() const { return (bytes[2] & 0x40) != 0; }
    bool isSplat() const { return (bytes[2] & 0x80) == 0; }
    track_sector_t firstBlock() const { return makeBlock(bytes[3], bytes[4]); }
    std::span<const std::uint8_t, kNameLength> name() const {
        return std::span<const std::uint8_t, kNameLength>(bytes.data() + kNameOffset, kNameLength);
    }
    track_sector_t sideBlock() const { return makeBlock(bytes[21], bytes[22]); }  // REL side sector / GEOS info block
    std::uint8_t recordLength() const { return bytes[23]; }                       // REL; GEOS structure
    std::uint8_t geosStructure() const { return bytes[23]; }
    // Its own bytes say GEOS, its info block aside: no REL type, a structure of 0 or 1, a date.
    bool saysGeos() const {
        return (bytes[2] & 0x04) == 0 && bytes[23] < 2 && bytes[26] >= 1 && bytes[26] <= 12 && bytes[27] >= 1 &&
               bytes[27] <= 31 && bytes[28] < 24 && bytes[29] < 60;
    }
    std::uint8_t geosType() const { return bytes[24]; }
    std::uint16_t blockCount() const { return static_cast<std::uint16_t>(bytes[30] | (bytes[31] << 8)); }

    void setName(std::span<const std::uint8_t> name16);
    // The type byte of a file being stored. A type byte of 0 marks a scratched entry, which the
    // directory skips and whose blocks would be lost, so it is stored as a closed DEL file.
    void setStoredType(std::uint8_t type) { bytes[2] = type == 0 ? kClosedDel : type; }
    void setBlockCount(std::uint16_t blocks) {
        bytes[30] = static_cast<std::uint8_t>(blocks & 0xff);
        bytes[31] = static_cast<std::uint8_t>(blocks >> 8);
    }
};

// Raw-entry helpers over the 32 stored bytes (a span of at least 32 bytes).
std::uint8_t entryFileType(std::span<const std::uint8_t> entry);
bool isEntrySplat(std::span<const std::uint8_t> entry);
bool isEntryLocked(std::span<const std::uint8_t> entry);
// Name bytes 5-20 all 0 and type byte 0.
bool isEmptyEntry(const dir_entry_t& entry);
// Not closed, not locked and of type 0: a listing shows it only when asked for scratched entries.
bool isScratchedEntry(const dir_entry_t& entry);
// Length of the name up to the first 0xA0 (16 when none).
std::size_t nameLength(const dir_entry_t& entry);
// A part of a four/five-part zipcode set: its name up to the padding is one by the rule of
// zipcode part names ("1!NAME" to "5!NAME").
bool isZipcodePartEntry(const dir_entry_t& entry);
// A part of a zipcode set of either kind, six-part GCR sets ("1!!NAME" to "6!!NAME") too.
bool isAnyZipcodePartEntry(const dir_entry_t& entry);
// The set name of a part's entry: the name after "N!" (or "N!!") up to its padding, without
// trailing spaces; empty for an entry that is no part.
std::string zipcodeSetName(const dir_entry_t& entry);
// The current local time into entry bytes 25-29 (year - 1900, at most 255).
void stampEntryTime(dir_entry_t& entry);

}  // namespace platter
