#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platter/core/dir_entry.hpp"

namespace platter {

// A 16 MiB RAM-expansion image for RAMDOS: the header and program up to
// 0x2200, then one entry per file, each starting on a page: length, type
// letter and name in 26 bytes, the data, at least one byte of padding. Every
// entry rewrites the bookkeeping bytes that tell RAMDOS where the files end.
class MergeWriter {
public:
    static constexpr std::uint64_t kCapacity = 0x1000000;
    static constexpr std::uint64_t kFirstEntry = 0x2200;

    // Starts the image: header, RAMDOS program, bookkeeping area.
    void writeHeader();
    // Appends one file as an entry; false, with the image unchanged, when the
    // entry and its padding do not fit below 16 MiB.
    bool addFile(const dir_entry_t& entry, std::span<const std::uint8_t> data);
    // Pads the image with zeros to exactly 16 MiB.
    void finish();

    const std::vector<std::uint8_t>& bytes() const { return image_; }
    std::uint64_t nextOffset() const { return offset_; }

private:
    std::vector<std::uint8_t> image_;
    std::uint64_t offset_ = kFirstEntry;
};

}  // namespace platter
