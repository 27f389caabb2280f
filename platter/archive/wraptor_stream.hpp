#pragma once

#include <cstdint>
#include <vector>

#include "platter/archive/bit_reader.hpp"

namespace platter {

// Decodes one GEOS Wraptor stream up to its end code into `out`. Tokens:
// 0 and 8 bits, a literal; 1, W bits P (not 0) and 5 bits L, L bytes from
// the slots P - 1 on of a 4096-byte output ring; 1, W zeros and 1, W grows
// by one (from 8); 1, W zeros and 0, the end. False when the bits run out
// first or W would pass 12 (positions past the ring).
bool decodeWraptorStream(MsbBitReader& bits, std::vector<std::uint8_t>& out);

}  // namespace platter
