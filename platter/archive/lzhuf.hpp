#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace platter {

// Decodes one LHA "-lh1-" stream (LZHUF: a 4 KiB window and an adaptive
// Huffman code) into exactly `unpackedSize` bytes. `packed` holds the
// entry's compressed bytes and nothing is read past them. False when they
// run out first or a match would pass the unpacked size.
bool lzhufDecode(std::span<const std::uint8_t> packed, std::size_t unpackedSize, std::vector<std::uint8_t>& out);

}  // namespace platter
