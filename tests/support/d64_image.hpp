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

// The size of a 35-track D64 without error bytes.
inline constexpr std::uintmax_t kD64Size = platter::Disk41::kSize35;

// The deterministic contents the fixture script writes: ((i * 7 + seed) & 255).
bytes_t patternBytes(std::size_t size, unsigned seed);

// PETSCII name padded with 0xA0, written with the shifted letters cc1541 uses.
std::array<std::uint8_t, 16> cbmName(const std::string& text, bool shifted = true);
std::array<std::uint8_t, 16> nameOf(const platter::dir_entry_t& entry);

// Byte offset of a block in a D64 of any track count.
std::size_t d64Offset(unsigned track, unsigned sector);

// The D64 layout standing in for an image kind with partitions and native subdirectories
// (the generic directory code is the same): its CBM and DIR entries can be entered.
class DirectoryD64 : public platter::Disk41 {
public:
    DirectoryD64() { setHighestFileType(platter::kTypeDir); }
    bool hasCbmPartitions() const override { return true; }
    bool hasNativeSubdirectories() const override { return true; }
};

// The bytes opened as a DirectoryD64, with empty slots included.
std::unique_ptr<platter::Disk> openDirectoryD64(const bytes_t& bytes);

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
