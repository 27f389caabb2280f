#pragma once
// Test support: an image of any class over bytes held by a provider that
// outlives it, opened from a fixture under tests/data, from bytes, or new.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"
#include "tests/support/files.hpp"

namespace test_support {

template <class D>
struct ImageOf {
    std::unique_ptr<platter::DataProvider> provider = std::make_unique<platter::DataProvider>();
    std::unique_ptr<D> disk = std::make_unique<D>();

    static ImageOf fromBytes(const bytes_t& bytes) {
        ImageOf image;
        image.provider->assign(bytes);
        image.disk->setDataProvider(image.provider.get());
        image.disk->open("test", false, false);
        return image;
    }
    // A fixture below tests/data, e.g. "d71/c.d71".
    static ImageOf fromFixture(const std::string& relative) { return fromBytes(readFixture(relative)); }
    static ImageOf blank() {
        ImageOf image;
        image.disk->setDataProvider(image.provider.get());
        image.disk->open("new", false, true);
        return image;
    }

    std::uint8_t* block(std::uint64_t track, std::uint64_t sector) { return disk->sectorPointer(track, sector); }
    bytes_t bytes() const {
        const std::uint8_t* data = provider->dataAt(0, platter::track_sector_t{});
        return bytes_t(data, data + provider->size());
    }
    // The file of the index-th entry, or nothing when it cannot be read whole.
    bytes_t file(std::uint64_t index) {
        platter::dir_entry_t entry;
        if (!disk->getEntry(index, false, entry)) return {};
        platter::entry_read_t read = disk->readEntry(entry);
        return read.whole() ? std::move(read.bytes) : bytes_t{};
    }
    // The blocks a new file of `blocks` blocks gets, in chain order (fewer when the image fills up).
    std::vector<platter::track_sector_t> allocate(std::size_t blocks) {
        std::vector<platter::track_sector_t> out;
        platter::track_sector_t at{};
        for (std::size_t i = 0; i < blocks && disk->allocateBlock(at, true); ++i) out.push_back(at);
        return out;
    }
};

}  // namespace test_support
