#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Pictures of some thirty paint programs, by signature, load address and exact size.
file_traits_t detectPaint(std::span<const std::uint8_t> data);

// Loadstar pictures, by unpacking them on trial.
file_traits_t detectLoadstarShp(std::span<const std::uint8_t> data);

// Packed Koala pictures are left to the paint decoder: the walk never reports them.
file_traits_t detectKoalaPacked(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
