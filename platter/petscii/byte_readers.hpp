#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platter {

// Readers over a byte range: the cursor is an index into data and never
// moves past its end.

// Appends bytes up to the next CR and leaves the cursor on it: -1 when the
// end comes first, else 1 when out is not empty, 0 when it is.
int readLine(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data, std::size_t& cursor);

// Moves the cursor past the next occurrence of the byte: 1, or -1 at the end.
int skipPast(std::uint8_t byte, std::span<const std::uint8_t> data, std::size_t& cursor);

// Skips spaces, reads decimal digits: -1 when the end comes first, 0 when no
// digit was found, 1 with the value (0 when it does not fit 32 bits).
int readNumber(std::uint32_t& out, std::span<const std::uint8_t> data, std::size_t& cursor);

// Big-endian groups of 7 bits, bit 7 set while more follow; at most 10
// bytes. Empty at the end of the data or when the value overflows 64 bits.
std::optional<std::uint64_t> readVarint(std::span<const std::uint8_t> data, std::size_t& cursor);

// The byte at the index, 0 outside the bytes.
std::uint8_t byteAt(std::span<const std::uint8_t> bytes, std::size_t index);

// Stores the byte at the cursor and advances it; the buffer grows by growth
// (at least 1) whenever the cursor reaches its size.
bool putByte(std::uint8_t byte, std::size_t& cursor, std::vector<std::uint8_t>& buffer, std::size_t growth);

}  // namespace platter
