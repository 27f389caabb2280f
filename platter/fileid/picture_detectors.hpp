#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Detectors of paint-program pictures. Their recognition is not built yet: each answers
// "not recognised" (the unknown result) until it is.
file_traits_t detectPaint(std::span<const std::uint8_t> data);
file_traits_t detectLoadstarShp(std::span<const std::uint8_t> data);

// Packed Koala pictures are left to the paint decoder: the walk never reports them.
file_traits_t detectKoalaPacked(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
