#pragma once
// CRC-32 of PNG and zlib (reflected, polynomial 0xEDB88320), slicing by 8.

#include <array>
#include <cstdint>
#include <span>

namespace forge {

using crc32_tables_t = std::array<std::array<std::uint32_t, 256>, 8>;

inline constexpr std::uint32_t kCrc32Polynomial = 0xEDB88320;

// Built on the first call with that call's polynomial and kept for the
// process; later calls return the same tables whatever they pass.
const crc32_tables_t& crc32Tables(std::uint32_t polynomial = kCrc32Polynomial);

// Continues `crc` (0 for a fresh CRC) over the bytes.
std::uint32_t crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes,
                    const crc32_tables_t& tables = crc32Tables());

std::uint32_t crc32Byte(std::uint32_t crc, std::uint8_t byte, const crc32_tables_t& tables = crc32Tables());

}  // namespace forge
