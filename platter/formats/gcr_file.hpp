#pragma once

#include <cstdint>
#include <functional>
#include <span>

namespace platter {

class DataProvider;

// The raw file a GCR decoder reads, a range at a time: a file read on demand reads a range
// when it is first asked for, so that a track's bytes are read when the track is decoded.
struct gcr_file_t {
    std::uint64_t size = 0;
    // The `length` bytes at `offset`; empty when the file does not hold them (any more).
    std::function<std::span<const std::uint8_t>(std::uint64_t offset, std::uint64_t length)> read;

    std::span<const std::uint8_t> bytes(std::uint64_t offset, std::uint64_t length) const {
        return read && length != 0 && offset <= size && length <= size - offset ? read(offset, length)
                                                                                : std::span<const std::uint8_t>();
    }
};

// Bytes held in memory; they must outlive the file.
gcr_file_t gcrFileOf(std::span<const std::uint8_t> bytes);
// The bytes a provider shows; it must outlive the file.
gcr_file_t gcrFileOf(DataProvider& provider);

}  // namespace platter
