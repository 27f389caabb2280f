#pragma once
// Test support: an image's saves, reads and imports as plain truths.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "forge/save_file.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"

namespace test_support {

// A save that gave no failure.
inline bool saved(const std::optional<forge::save_failure_t>& failure) { return !failure; }

// Appends what the entry's read gave to `out`; true when it is the whole file.
inline bool readWhole(platter::Disk& disk, const platter::dir_entry_t& entry, std::vector<std::uint8_t>& out) {
    const platter::entry_read_t read = disk.readEntry(entry);
    out.insert(out.end(), read.bytes.begin(), read.bytes.end());
    return read.whole();
}

// The index-th entry, counting used slots only; a test that asks for one the image lacks fails.
inline platter::dir_entry_t entryAt(platter::Disk& disk, std::uint64_t index) {
    platter::dir_entry_t entry;
    EXPECT_TRUE(disk.getEntry(index, false, entry)) << index;
    return entry;
}

// Imports `data` as a PRG named `name` (shifted), the image choosing where.
inline bool importPrg(platter::Disk& disk, const char* name, const std::vector<std::uint8_t>& data) {
    return disk.importFile(cbmName(name), 1000, data, 0, platter::formatById(platter::format_id::prg));
}

}  // namespace test_support
