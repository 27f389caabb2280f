#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Detectors of BASIC programs, Sidplayer tunes, assembler sources, character sets, packers and crunchers. Their recognition is not built yet: each answers
// "not recognised" (the unknown result) until it is.
file_traits_t detectSidplayer(std::span<const std::uint8_t> data);
file_traits_t detectBasic(std::span<const std::uint8_t> data);
file_traits_t detectTurboAssembler(std::span<const std::uint8_t> data);
file_traits_t detectCharset(std::span<const std::uint8_t> data);
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
