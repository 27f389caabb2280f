#pragma once
// What a listing gathers of one kept directory entry, read once per listing:
// the data size and load address, the hashes and description of the data, its
// blocks, and the colour of its name.

#include "forge/terminal.hpp"
#include "platter/core/chain_walk.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/core/listing_line.hpp"
#include "platter/core/track_sector.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

// Which facts a listing shows; only those are read.
struct entry_needs_t {
    bool data = false;  // the file's bytes (load address, length); the name colour reads them too
    bool hashes = false;
    bool description = false;
    bool blocks = false;
    bool nameColour = false;
};

struct listed_entry_t {
    std::uint64_t index = 0;
    platter::dir_entry_t entry;
    platter::listing_line_t line;  // blocks, name, flags and type word, as every listing shows them
    bool dataRead = false;         // the entry was read: the file, or the part its size names
    std::uint64_t size = 0;        // the bytes that read gave
    std::uint64_t dataLength = 0;  // bytes kept of that read (0 when the listing needs none)
    bool hasLoadAddress = false;   // the data has at least 2 bytes
    std::uint16_t loadAddress = 0;
    std::uint32_t xxh32 = 0;  // of the data, of empty input when none was read
    std::uint64_t xxh3 = 0;
    std::string description;
    std::vector<platter::track_sector_t> blocks;
    forge::text_attr_t nameColour;
    platter::chain_stop_t chainStop;  // where the chain of a file that is not whole stopped
};

// Reads what `needs` asks for, with one read of the entry.
listed_entry_t gatherEntry(platter::Disk& disk, std::uint64_t index, const platter::dir_entry_t& entry,
                           const entry_needs_t& needs);

// Lower-case hex of the value's significant bytes (at least one), rounded up
// to an even byte count above one: 2, 4, 8, 12 or 16 digits.
std::string hashNotation(std::uint64_t value);

}  // namespace app
