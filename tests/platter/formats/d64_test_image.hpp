#pragma once
// Test helpers: D64 images in memory, from the committed fixtures or made
// fresh, with byte access by track and sector for patching damage in.

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platter/core/data_provider.hpp"
#include "platter/formats/disk41.hpp"

namespace platter::testing {

using bytes_t = std::vector<std::uint8_t>;

inline std::string fixturePath(const std::string& name) { return std::string(ZT_TEST_DATA) + "/d64/" + name; }

inline bytes_t readFixture(const std::string& name) {
    std::ifstream in(fixturePath(name), std::ios::binary);
    return bytes_t(std::istreambuf_iterator<char>(in), {});
}

// The deterministic contents the fixture script writes: ((i * 7 + seed) & 255).
inline bytes_t patternBytes(std::size_t size, unsigned seed) {
    bytes_t out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>((i * 7 + seed) & 255);
    return out;
}

// PETSCII name padded with 0xA0, written with the shifted letters cc1541 uses.
inline std::array<std::uint8_t, 16> cbmName(const std::string& text, bool shifted = true) {
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    for (std::size_t i = 0; i < text.size() && i < 16; ++i) {
        const auto c = static_cast<std::uint8_t>(text[i]);
        name[i] = (shifted && c >= 'A' && c <= 'Z') ? static_cast<std::uint8_t>(c + 0x80) : c;
    }
    return name;
}

inline std::array<std::uint8_t, 16> nameOf(const dir_entry_t& entry) {
    std::array<std::uint8_t, 16> name;
    std::copy(entry.name().begin(), entry.name().end(), name.begin());
    return name;
}

inline std::size_t d64Offset(unsigned track, unsigned sector) {
    std::size_t blocks = 0;
    for (unsigned t = 1; t < track; ++t) blocks += Disk41::sectorsOnTrack(t);
    return (blocks + sector) * 256;
}

// A Disk41 over bytes held by a provider that outlives it.
struct TestImage {
    std::unique_ptr<DataProvider> provider = std::make_unique<DataProvider>();
    std::unique_ptr<Disk41> disk = std::make_unique<Disk41>();

    static TestImage fromBytes(const bytes_t& bytes) {
        TestImage image;
        image.provider->assign(bytes);
        image.disk->setDataProvider(image.provider.get());
        image.disk->open("test.d64", false, false);
        return image;
    }
    static TestImage fromFixture(const std::string& name) { return fromBytes(readFixture(name)); }
    static TestImage blank() {
        TestImage image;
        image.disk->setDataProvider(image.provider.get());
        image.disk->open("new.d64", false, true);
        return image;
    }

    std::uint8_t* block(unsigned track, unsigned sector) { return disk->sectorPointer(track, sector); }
    bytes_t bytes() const {
        const std::uint8_t* data = provider->dataAt(0, track_sector_t{});
        return bytes_t(data, data + provider->size());
    }
};

}  // namespace platter::testing
