#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace platter {

// The header of one C64 ARC entry.
struct arc_header_t {
    static constexpr std::size_t kFixedSize = 11;
    static constexpr std::uint32_t kBlockSize = 254;

    std::uint8_t version = 0;    // 1, or 2 and above
    std::uint8_t mode = 0;       // 0 stored ... 5 crunched with an end code
    std::uint16_t checksum = 0;  // of the decoded data; mode 5 gives its own after the end code
    std::uint32_t length = 0;    // uncompressed length, 24 bits
    std::uint16_t blocks = 0;    // 254-byte blocks from the header's first byte to the next header
    char typeLetter = 0;
    std::array<std::uint8_t, 16> name{};  // first 16 name bytes, padded with 0xA0
    std::uint8_t recordLength = 0;        // version 2 and above
    std::size_t dataOffset = 0;           // where the compressed data begin, from the header's first byte

    // The byte that introduces a run in the squeezed and crunched modes with run-length
    // expansion; a packed entry (mode 1) names its own in its first data byte.
    std::uint8_t runMarker() const { return version >= 2 ? 0xFE : 0x00; }
    // What a run count of 0 stands for.
    std::uint32_t zeroRunCount() const { return version >= 2 ? 256 : 255; }
};

// The header at the start of `bytes`; none when fewer bytes are left than it
// needs, when version, mode and type letter are all 0, or when it spans no
// block.
std::optional<arc_header_t> readArcHeader(std::span<const std::uint8_t> bytes);

// The check value of an entry's decoded data: their 16-bit sum in version 1; from version 2
// on, the sum of each byte XOR its position counted from 1, modulo 256.
std::uint16_t arcChecksum(std::uint8_t version, std::span<const std::uint8_t> data);

}  // namespace platter
