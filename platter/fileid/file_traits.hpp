#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace platter::fileid {

// One fact a detector reports; flags carry an empty value.
struct file_metadata_t {
    std::uint32_t key = 0;
    std::vector<std::uint8_t> value;
};

// One identification result.
struct file_traits_t {
    std::uint32_t type = 0;
    std::uint32_t score = 0;
    std::vector<file_metadata_t> metadata;
};

// Type 1 "...": what a detector answers when it does not recognise the data.
inline const file_traits_t g_unknown_traits{1, 0, {}};

// A detector sees the whole file and answers one result (or g_unknown_traits).
using detector_t = file_traits_t (*)(std::span<const std::uint8_t> data);

// A recognised type with full confidence and no metadata yet.
inline file_traits_t recognised(std::uint32_t type) { return file_traits_t{type, 100, {}}; }

}  // namespace platter::fileid
