#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Detectors of BASIC programs, Sidplayer tunes, Turbo Assembler sources and
// character sets.
file_traits_t detectSidplayer(std::span<const std::uint8_t> data);
file_traits_t detectBasic(std::span<const std::uint8_t> data);
file_traits_t detectTurboAssembler(std::span<const std::uint8_t> data);
file_traits_t detectCharset(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
