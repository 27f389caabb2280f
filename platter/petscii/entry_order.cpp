#include "platter/petscii/entry_order.hpp"

#include "platter/petscii/byte_readers.hpp"

namespace platter {

namespace {

int wordAt(std::span<const std::uint8_t> bytes, std::size_t offset) {
    return byteAt(bytes, offset) | (byteAt(bytes, offset + 1) << 8);
}

}  // namespace

int compareFirstNameByte(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return byteAt(a, 5) - byteAt(b, 5);
}

bool bySize(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) { return wordAt(a, 30) < wordAt(b, 30); }

bool byTapeLength(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return wordAt(a, 4) - wordAt(a, 2) < wordAt(b, 4) - wordAt(b, 2);
}

}  // namespace platter
