#include "forge/crc32.hpp"

namespace forge {

namespace {

crc32_tables_t buildTables(std::uint32_t polynomial) {
    crc32_tables_t tables{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1) ? (c >> 1) ^ polynomial : c >> 1;
        }
        tables[0][i] = c;
    }
    for (std::size_t k = 1; k < tables.size(); ++k) {
        for (std::size_t i = 0; i < 256; ++i) {
            const std::uint32_t previous = tables[k - 1][i];
            tables[k][i] = (previous >> 8) ^ tables[0][previous & 0xFF];
        }
    }
    return tables;
}

}  // namespace

const crc32_tables_t& crc32Tables(std::uint32_t polynomial) {
    static const crc32_tables_t tables = buildTables(polynomial);
    return tables;
}

std::uint32_t crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes, const crc32_tables_t& t) {
    std::uint32_t c = ~crc;
    const std::uint8_t* p = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; left -= 8, p += 8) {
        const std::uint32_t x = c ^ (std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
                                     std::uint32_t{p[3]} << 24);
        c = t[7][x & 0xFF] ^ t[6][(x >> 8) & 0xFF] ^ t[5][(x >> 16) & 0xFF] ^ t[4][x >> 24] ^ t[3][p[4]] ^ t[2][p[5]] ^
            t[1][p[6]] ^ t[0][p[7]];
    }
    for (; left > 0; --left, ++p) {
        c = (c >> 8) ^ t[0][(c ^ *p) & 0xFF];
    }
    return ~c;
}

std::uint32_t crc32Byte(std::uint32_t crc, std::uint8_t byte, const crc32_tables_t& tables) {
    const std::uint32_t c = ~crc;
    return ~((c >> 8) ^ tables[0][(c ^ byte) & 0xFF]);
}

}  // namespace forge
