#include "platter/fileid/picture_detectors.hpp"

namespace platter::fileid {

// Not built yet: these recognise nothing, so the walk passes over them.
file_traits_t detectPaint(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectLoadstarShp(std::span<const std::uint8_t>) { return g_unknown_traits; }

// By design: packed Koala pictures are found by the paint decoder, not by the walk.
file_traits_t detectKoalaPacked(std::span<const std::uint8_t>) { return g_unknown_traits; }

}  // namespace platter::fileid
