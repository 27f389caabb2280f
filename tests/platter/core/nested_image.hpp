#pragma once
// A fresh D64 with native subdirectories, built block by block: a DIR entry's first block is a
// header whose link names the subdirectory's first directory block.

#include <cstring>
#include <memory>

#include "platter/core/data_provider.hpp"
#include "tests/support/d64_image.hpp"

namespace platter {

struct NestedImage {
    std::unique_ptr<DataProvider> provider = std::make_unique<DataProvider>();
    std::unique_ptr<test_support::DirectoryD64> disk = std::make_unique<test_support::DirectoryD64>();

    NestedImage() {
        disk->setDataProvider(provider.get());
        disk->open("nested.d64", false, true);
    }
    std::uint8_t* block(unsigned t, unsigned s) { return disk->sectorPointer(t, s); }

    // Puts a one-block entry into slot `slot` of directory block (t, s).
    void putEntry(unsigned t, unsigned s, unsigned slot, std::uint8_t type, const char* name, unsigned firstTrack,
                  unsigned firstSector) {
        std::uint8_t* e = block(t, s) + slot * 32;
        std::memset(e + 2, 0, 30);
        e[2] = type;
        e[3] = static_cast<std::uint8_t>(firstTrack);
        e[4] = static_cast<std::uint8_t>(firstSector);
        const auto n = test_support::cbmName(name, false);
        std::memcpy(e + 5, n.data(), 16);
        e[30] = 1;
    }
    // A DIR header at (t, s) whose directory is (t, s + 1).
    void makeSubdirectory(unsigned t, unsigned s = 0) {
        std::uint8_t* header = block(t, s);
        std::memset(header, 0, 256);
        header[0] = static_cast<std::uint8_t>(t);
        header[1] = static_cast<std::uint8_t>(s + 1);
        std::uint8_t* dir = block(t, s + 1);
        std::memset(dir, 0, 256);
        dir[1] = 0xff;
    }
};

}  // namespace platter
