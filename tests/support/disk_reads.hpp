#pragma once
// Test support: an image's save and read results as plain truths.

#include <cstdint>
#include <optional>
#include <vector>

#include "forge/save_file.hpp"
#include "platter/core/disk.hpp"

namespace test_support {

// A save that gave no failure.
inline bool saved(const std::optional<forge::save_failure_t>& failure) { return !failure; }

// Appends what the entry's read gave to `out`; true when it is the whole file.
inline bool readWhole(platter::Disk& disk, const platter::dir_entry_t& entry, std::vector<std::uint8_t>& out) {
    const platter::entry_read_t read = disk.readEntry(entry);
    out.insert(out.end(), read.bytes.begin(), read.bytes.end());
    return read.whole();
}

}  // namespace test_support
