#pragma once

#include <cstdint>
#include <string_view>

#include "platter/ids/format_id.hpp"

namespace platter {

// Category bits of a registry row.
inline constexpr std::uint32_t kCategoryImage = 0x2;     // disk or tape image
inline constexpr std::uint32_t kCategoryArchive = 0x4;   // expanded into a new image
inline constexpr std::uint32_t kCategoryOutput = 0x8;    // picture or listing document
inline constexpr std::uint32_t kCategoryCbmFile = 0x10;  // a plain CBM file or its P00 wrapper

// CBM file types a container becomes when stored as a directory entry.
inline constexpr std::uint32_t kCbmTypeNone = 7;
inline constexpr std::uint32_t kCbmTypeText = 8;

// partitionBlocks of a kind whose partition is as large as the image (at least 512 blocks).
inline constexpr std::uint64_t kPartitionSizedByImage = UINT64_MAX;

// One kind of container or single file the system knows, with the facts the generic code
// asks about it. The class that opens it is registered in platter/open.
struct container_format_t {
    format_id id;                // registry id, also the format id of an image
    std::string_view name;       // short name, "D64"
    std::string_view extension;  // with its dot, ".d64", or a pattern ("?!*", ".*"), or empty
    std::string_view description;
    std::uint32_t category;
    std::uint32_t cbmType;              // 0 DEL .. 6 DIR, kCbmTypeNone, kCbmTypeText
    std::uint32_t mode;                 // 1 CMD images, 2 tape, 3 text-like rows
    bool createsBlank = false;          // an empty image of the kind can be made
    bool readsOnDemand = false;         // opened from its path, blocks read when needed
    bool anySize = false;               // exempt from the check against the smallest image size
    std::uint64_t partitionBlocks = 0;  // size of a CMD partition holding such an image; 0: none
};

}  // namespace platter
