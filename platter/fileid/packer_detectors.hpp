#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Detectors of packed and crunched programs (and of one virus) by the code
// signatures of their unpackers.
file_traits_t detectStubbyNoter(std::span<const std::uint8_t> data);
file_traits_t detectByteBoiler(std::span<const std::uint8_t> data);
file_traits_t detectBhpVirus(std::span<const std::uint8_t> data);
file_traits_t detectTurbocopyCrunch2(std::span<const std::uint8_t> data);
file_traits_t detectTurbocopyCrunch3(std::span<const std::uint8_t> data);
file_traits_t detectPackerFamily(std::span<const std::uint8_t> data);
file_traits_t detectTheCruncherAB(std::span<const std::uint8_t> data);
file_traits_t detectCompressorAlg(std::span<const std::uint8_t> data);
file_traits_t detectCompressorFamily(std::span<const std::uint8_t> data);
file_traits_t detectTimeCruncher5(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
