#include "platter/archive/arc_header.hpp"

#include <algorithm>

#include "platter/petscii/cbm_name.hpp"

namespace platter {

std::optional<arc_header_t> readArcHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < arc_header_t::kFixedSize) return std::nullopt;
    arc_header_t header;
    header.version = bytes[0];
    header.mode = bytes[1];
    header.checksum = static_cast<std::uint16_t>(bytes[2] | (bytes[3] << 8));
    header.length = static_cast<std::uint32_t>(bytes[4] | (bytes[5] << 8) | (bytes[6] << 16));
    header.blocks = static_cast<std::uint16_t>(bytes[7] | (bytes[8] << 8));
    header.typeLetter = static_cast<char>(bytes[9]);
    if (header.version == 0 && header.mode == 0 && header.typeLetter == 0) return std::nullopt;
    if (header.blocks == 0) return std::nullopt;

    const std::size_t nameLength = bytes[10];
    const std::size_t trailer = header.version >= 2 ? 3 : 0;
    header.dataOffset = arc_header_t::kFixedSize + nameLength + trailer;
    if (bytes.size() < header.dataOffset) return std::nullopt;

    header.name.fill(kNamePad);
    std::copy_n(bytes.begin() + arc_header_t::kFixedSize, std::min(nameLength, header.name.size()),
                header.name.begin());
    if (header.version >= 2) header.recordLength = bytes[arc_header_t::kFixedSize + nameLength];
    return header;
}

std::uint16_t arcChecksum(std::uint8_t version, std::span<const std::uint8_t> data) {
    std::uint32_t sum = 0;
    if (version < 2) {
        for (const std::uint8_t b : data) sum += b;
    } else {
        for (std::size_t i = 0; i < data.size(); ++i) sum += static_cast<std::uint32_t>(data[i] ^ ((i + 1) & 0xFF));
    }
    return static_cast<std::uint16_t>(sum);
}

}  // namespace platter
