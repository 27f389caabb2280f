#pragma once
// Test helper: the D64 images of tests/data/bam, read into memory, patched
// where a test needs it and opened as disks.

#include "platter/core/disk.hpp"
#include "platter/core/open_container.hpp"
#include "platter/formats/disk41.hpp"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace app::test {

inline std::vector<std::uint8_t> readImage(const std::string& name) {
    std::ifstream in(std::string(ZT_TEST_DATA) + "/bam/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Byte offset of a block in a 35- or 40-track D64.
inline std::size_t blockOffset(std::uint64_t track, std::uint64_t sector) {
    std::size_t blocks = 0;
    for (std::uint64_t t = 1; t < track; ++t) blocks += platter::Disk41::sectorsOnTrack(t);
    return (blocks + sector) * 256;
}

inline std::unique_ptr<platter::Disk> openImage(const std::vector<std::uint8_t>& bytes) {
    return platter::openContainer(platter::Disk41::kFormatId, "test.d64", bytes);
}

}  // namespace app::test
