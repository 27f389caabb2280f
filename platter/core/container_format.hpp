#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

namespace platter {

class Disk;

// Builds an image for a registry row. `bytes` is the file's content when the caller has it
// (also for standard input), null when the factory must read `path` itself.
using DiskFactory = std::unique_ptr<Disk> (*)(std::uint32_t formatId, const std::filesystem::path& path,
                                              const std::vector<std::uint8_t>* bytes);

// Category bits of a registry row.
inline constexpr std::uint32_t kCategoryImage = 0x2;     // disk or tape image
inline constexpr std::uint32_t kCategoryArchive = 0x4;   // expanded into a new image
inline constexpr std::uint32_t kCategoryOutput = 0x8;    // picture or listing document
inline constexpr std::uint32_t kCategoryCbmFile = 0x10;  // a plain CBM file or its P00 wrapper

// CBM file types a container becomes when stored as a directory entry.
inline constexpr std::uint32_t kCbmTypeNone = 7;
inline constexpr std::uint32_t kCbmTypeText = 8;

// One kind of container or single file the system knows.
struct container_format_t {
    std::uint32_t id;            // registry id, also the format id of an image
    std::string_view name;       // short name, "D64"
    std::string_view extension;  // with its dot, ".d64", or a pattern ("?!*", ".*"), or empty
    std::string_view description;
    DiskFactory factory;  // null when the row cannot be opened
    std::uint32_t category;
    std::uint32_t cbmType;  // 0 DEL .. 6 DIR, kCbmTypeNone, kCbmTypeText
    std::uint32_t mode;     // 1 CMD images, 2 tape, 3 text-like rows
};

}  // namespace platter
