#pragma once
// Test support: an image's saves, reads and imports as plain truths.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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

// Reads the entry kept and streamed and expects the two to agree: outcome, size said and bytes,
// the streamed ones in pieces of at most a megabyte. The number of pieces.
inline std::size_t expectStreamedAsKept(platter::Disk& disk, const platter::dir_entry_t& entry) {
    const platter::entry_read_t kept = disk.readEntry(entry);
    std::vector<std::uint8_t> joined;
    std::size_t pieces = 0;
    const platter::entry_read_t streamed = disk.readEntry(entry, [&](std::span<const std::uint8_t> piece) {
        EXPECT_LE(piece.size(), std::size_t{1} << 20);
        joined.insert(joined.end(), piece.begin(), piece.end());
        ++pieces;
    });
    EXPECT_EQ(streamed.outcome, kept.outcome);
    EXPECT_EQ(streamed.expected, kept.expected);
    EXPECT_TRUE(streamed.bytes.empty());
    EXPECT_EQ(streamed.size(), kept.bytes.size());
    EXPECT_EQ(joined, kept.bytes);
    return pieces;
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
