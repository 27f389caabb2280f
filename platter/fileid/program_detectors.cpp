#include "platter/fileid/program_detectors.hpp"

namespace platter::fileid {

// Not built yet: these recognise nothing, so the walk passes over them.
file_traits_t detectSidplayer(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectBasic(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectTurboAssembler(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectCharset(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectStubbyNoter(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectByteBoiler(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectBhpVirus(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectTurbocopyCrunch2(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectTurbocopyCrunch3(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectPackerFamily(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectTheCruncherAB(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectCompressorAlg(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectCompressorFamily(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectTimeCruncher5(std::span<const std::uint8_t>) { return g_unknown_traits; }

}  // namespace platter::fileid
