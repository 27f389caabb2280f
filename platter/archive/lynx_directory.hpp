#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platter {

struct lynx_entry_t {
    std::vector<std::uint8_t> name;  // PETSCII, trailing 0xA0 removed
    std::uint8_t type = 2;           // CBM file type
    std::uint32_t blocks = 0;
    std::uint32_t recordLength = 0;  // REL only
    std::uint32_t lastBlockBytes = 0;
    // Its last-block byte (0 or 1) says no size: its blocks are kept whole.
    bool unsized = false;
    // The bytes the directory gives the file; none for a last file that takes the rest.
    std::optional<std::uint64_t> expected;
    std::vector<std::uint8_t> data;  // as far as the archive holds them
};

// A Lynx directory and where it places the files, for holding against the archive's size.
struct lynx_directory_t {
    std::vector<lynx_entry_t> entries;
    std::uint64_t declared = 0;  // the files it counts
    std::uint64_t blocks = 0;    // the blocks it counts for itself
    std::uint64_t textEnd = 0;   // where the text of the entries read ends
    std::uint64_t dataEnd = 0;   // where the blocks of the last file read end
    std::uint64_t filesEnd = 0;  // where the bytes of the last file read end, at the least
};

// The directory of a Lynx archive with each file's bytes, every file it lists even where the
// archive ends before its data; no entries on a malformed directory. A last file that takes
// the rest of the archive is given no more than its blocks, and so is a file whose last-block
// byte says no size.
// Type id 1 asks for identification first; 87 is the layout whose text starts at byte 113.
lynx_directory_t parseLynxDirectory(std::span<const std::uint8_t> archive, std::uint32_t typeId);

}  // namespace platter
