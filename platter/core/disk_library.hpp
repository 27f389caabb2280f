#pragma once

// Small free helpers of the disk library shared by the image classes, the archive importers,
// the listings and the renderers.

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platter/core/dir_entry.hpp"
#include "platter/core/disk_library_options.hpp"
#include "platter/core/track_sector.hpp"

namespace platter {

class Disk;

// ---- Strings ----
// The text after the first `c`, or the whole text when `c` does not occur.
std::string afterFirst(std::string_view text, char c);
// The text before the last `c`, or the whole text.
std::string beforeLast(std::string_view text, char c);
// The text after the last `c`, or the whole text.
std::string afterLast(std::string_view text, char c);
// Every `from` replaced by `to`; the search resumes after the inserted text.
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to);
// Removes every occurrence of each of `chars` from `text`.
void eraseChars(std::string& text, std::string_view chars);

// The characters a host file name may not hold.
inline constexpr std::string_view kHostUnsafeChars = "?\"/\\<>*|:";

// ---- Packed payloads ----
// Replaces `out` with up to `length` bytes of a program file from `offset` past its two-byte
// load address; nothing for an offset of all ones or one at or past the end.
void copyPayloadRange(std::span<const std::uint8_t> file, std::uint64_t offset, std::uint64_t length,
                      std::vector<std::uint8_t>& out);

// One run-length packed picture format.
struct rle_format_t {
    std::uint32_t packedId = 0;
    std::uint32_t unpackedId = 0;
    std::uint8_t marker = 0;
    bool countFirst = false;        // marker, count, value instead of marker, value, count
    std::uint64_t start = 0;        // first packed byte
    std::uint16_t loadAddress = 0;  // written first unless 0
};
// Replaces `out` with the unpacked bytes; a count of 0 or the end of the input ends with
// success, a marker cut off by the end of the input fails (unless a 0 count is there).
bool unpackRle(std::span<const std::uint8_t> packed, std::vector<std::uint8_t>& out, const rle_format_t& format);

// ---- Types ----
// Registry id of the P00-family form of a CBM file type (SEQ S00, PRG P00, REL R00), else 0.
std::uint32_t p00FormatForType(std::uint32_t cbmType);
// True for the identification type ids of disk images (5-11, 13, 15, 17, 19, 21, 23-25, 27-32).
bool isDiskImageTypeId(std::uint32_t typeId);

// ---- Entries ----
// CBM DOS name matching with '*' and '?' over names that end at their first 0xA0.
bool cbmWildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name);
// An entry that looks like a GEOS file: sequential structure or VLIR, an info block, and a
// valid date and time.
bool isGeosEntry(std::span<const std::uint8_t> entry);
// The current local time into entry bytes 25-29 (year - 1900, at most 255).
void stampEntryTime(dir_entry_t& entry);
// Byte offset of a VLIR record's data in a GEOS Convert file, 0 for an empty record or one
// whose table entry lies outside the file. Records occupy whole 254-byte blocks from 762 on.
std::uint64_t vlirRecordOffset(std::span<const std::uint8_t> convertFile, std::uint32_t record);
// Moves the addresses of `blocks` not yet in `visited` into it (and onto `out` when given),
// then empties `blocks`.
void appendNewBlocks(std::vector<track_sector_t>& blocks, std::vector<track_sector_t>* out,
                     std::set<track_sector_t>& visited);

// ---- IDE64 CFS entries ----
// CBM file type 0-7 of a CFS directory entry; 7 for an entry shorter than 32 bytes.
std::uint32_t cfsFileType(std::span<const std::uint8_t> entry);
struct cfs_date_t {
    std::uint8_t year = 0, month = 0, day = 0, hour = 0, minute = 0, spare = 0;
};
// The date fields of a CFS entry; false for an entry shorter than 36 bytes.
bool unpackCfsDate(std::span<const std::uint8_t> entry, cfs_date_t& out);

// ---- Images ----
// Fills the header, both BAM blocks and the first directory block of a new 1581 image.
void initD81Header(std::span<std::uint8_t, 256> header, std::span<std::uint8_t, 256> bam1,
                   std::span<std::uint8_t, 256> bam2, std::span<std::uint8_t, 256> firstDirectory);

// Appends the G64 frame (signature, track offsets, speed zones) of a six-part GCR zipcode set,
// whose first part file says how many tracks carry data; false unless six parts are given and it
// starts 0xFF 0x03. The parts' GCR data is decoded into the track area after it.
bool writeZip6Frame(const std::vector<std::vector<std::uint8_t>>& parts, std::vector<std::uint8_t>& out);

// The class-name registry of image creators ("Disk41" ...). A creator gives null while its
// class is not available.
using DiskCreator = std::unique_ptr<Disk> (*)();
const std::map<std::string, DiskCreator>& diskCreators();

// ---- Lynx ----
struct lynx_entry_t {
    std::vector<std::uint8_t> name;  // PETSCII, trailing 0xA0 removed
    std::uint8_t type = 2;           // CBM file type
    std::uint32_t blocks = 0;
    std::uint32_t recordLength = 0;  // REL only
    std::uint32_t lastBlockBytes = 0;
    std::vector<std::uint8_t> data;
};
// The directory of a Lynx archive with each file's bytes; empty on a malformed directory.
// Type id 1 asks for identification first; 87 is the layout whose text starts at byte 113.
std::vector<lynx_entry_t> parseLynxDirectory(std::span<const std::uint8_t> archive, std::uint32_t typeId);

// ---- GEOS pictures ----
struct picture_parts_t {
    std::vector<std::uint8_t> bitmap;
    std::vector<std::uint8_t> colour;
    std::uint32_t widthCards = 0;
    std::uint32_t heightCards = 0;
};
// A geoPaint picture (1448-byte records of two card rows) into bitmap and colour bytes.
bool splitGeoPaint(std::span<const std::uint8_t> unpacked, picture_parts_t& out);
// A photo scrap (width in cards, height in lines, line-ordered bitmap, colours) rearranged into
// card order; bytes missing from a short scrap read as 0.
bool splitPhotoScrap(std::span<const std::uint8_t> scrap, picture_parts_t& out);

}  // namespace platter
