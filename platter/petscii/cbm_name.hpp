#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platter {

// The byte that pads CBM names to their full length.
inline constexpr std::uint8_t kNamePad = 0xA0;
inline constexpr std::size_t kNameSize = 16;
inline constexpr std::size_t kEntrySize = 32;
inline constexpr std::size_t kEntryNameOffset = 5;

// Bytes before the first 0xA0 among the first n (n when there is none).
std::size_t paddedLength(std::span<const std::uint8_t> bytes, std::size_t n);
// Bytes before the first space among the first n.
std::size_t lengthToSpace(std::span<const std::uint8_t> bytes, std::size_t n);

// Copies the text up to its first 0 byte or n bytes into the destination and
// fills the rest of the n bytes with 0xA0.
void copyPadded(std::span<std::uint8_t> destination, std::string_view text, std::size_t n);

// Bytes after the last '.' of a 16-byte name up to the padding; empty when
// there is no '.', or it is the 16th byte, or the name ends in it.
std::string nameExtension(std::span<const std::uint8_t> name);

// The text in PETSCII (lower/upper-case set), at most 16 bytes copied; bytes
// of the destination past the converted text are left as they were.
void nameFromHostText(std::string_view text, std::span<std::uint8_t> destination);

// Zeroes the 32 entry bytes and writes the text as its 0xA0-padded name.
bool clearEntryWithName(std::span<std::uint8_t> entry, std::string_view text);

// Extension of the path's file name with its leading '.' (".d64"); empty when
// the file name has no '.' after its first character, or is at most 2
// characters long and starts with '.'.
std::string pathExtension(std::string_view path);

}  // namespace platter
