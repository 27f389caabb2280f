#include "platter/fileid/archive_detectors.hpp"

namespace platter::fileid {

// Not built yet: these recognise nothing, so the walk passes over them.
file_traits_t detectLynx(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectWraptor(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectLibrary(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectArkive(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectArkiveSfx(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectSpyne(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectLha(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectLhaSfx(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectArcSda(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectArc(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectArchiveGen(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectDArc(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectSdaVision(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectSdaAgony(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectSdaVer1996(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectSdaThunderbirds(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectGeoConvert(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectZip4(std::span<const std::uint8_t>) { return g_unknown_traits; }

file_traits_t detectZip6(std::span<const std::uint8_t>) { return g_unknown_traits; }

}  // namespace platter::fileid
