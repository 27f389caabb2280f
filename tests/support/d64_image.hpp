#pragma once
// Test support: D64 images in memory, from the committed fixtures or made
// fresh, with byte access by track and sector for patching damage in.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "platter/core/data_provider.hpp"
#include "platter/core/dir_entry.hpp"
#include "platter/formats/disk41.hpp"
#include "tests/support/files.hpp"

namespace test_support {

// The deterministic contents the fixture script writes: ((i * 7 + seed) & 255).
bytes_t patternBytes(std::size_t size, unsigned seed);

// PETSCII name padded with 0xA0, written with the shifted letters cc1541 uses.
std::array<std::uint8_t, 16> cbmName(const std::string& text, bool shifted = true);
std::array<std::uint8_t, 16> nameOf(const platter::dir_entry_t& entry);

// Byte offset of a block in a D64 of any track count.
std::size_t d64Offset(unsigned track, unsigned sector);

// The bytes opened as a D64 container, the way a command opens an image it was given.
std::unique_ptr<platter::Disk> openD64(const bytes_t& bytes);

// A Disk41 over bytes held by a provider that outlives it.
struct TestImage {
    std::unique_ptr<platter::DataProvider> provider = std::make_unique<platter::DataProvider>();
    std::unique_ptr<platter::Disk41> disk = std::make_unique<platter::Disk41>();

    static TestImage fromBytes(const bytes_t& bytes);
    // A fixture of tests/data/d64.
    static TestImage fromFixture(const std::string& name);
    static TestImage blank();

    std::uint8_t* block(unsigned track, unsigned sector) { return disk->sectorPointer(track, sector); }
    bytes_t bytes() const;
};

}  // namespace test_support
