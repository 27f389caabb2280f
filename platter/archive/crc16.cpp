#include "platter/archive/crc16.hpp"

#include <array>

namespace platter {

namespace {

constexpr std::array<std::uint16_t, 256> buildTable() {
    std::array<std::uint16_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) c = (c & 1) ? (c >> 1) ^ 0xA001 : c >> 1;
        table[i] = static_cast<std::uint16_t>(c);
    }
    return table;
}

constexpr std::array<std::uint16_t, 256> kTable = buildTable();

}  // namespace

std::uint16_t crc16Arc(std::span<const std::uint8_t> bytes) {
    std::uint32_t crc = 0;
    for (std::uint8_t b : bytes) crc = (crc >> 8) ^ kTable[(crc ^ b) & 0xFF];
    return static_cast<std::uint16_t>(crc);
}

}  // namespace platter
