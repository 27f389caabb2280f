#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Detectors of C64 archives (Lynx, GEOS Wraptor and Convert, ARC and its
// self-dissolving forms, LHA, Arkive, Library, SPYne) and of zipcode part files.
file_traits_t detectLynx(std::span<const std::uint8_t> data);
file_traits_t detectWraptor(std::span<const std::uint8_t> data);
file_traits_t detectLibrary(std::span<const std::uint8_t> data);
file_traits_t detectArkive(std::span<const std::uint8_t> data);
file_traits_t detectArkiveSfx(std::span<const std::uint8_t> data);
file_traits_t detectSpyne(std::span<const std::uint8_t> data);
file_traits_t detectLha(std::span<const std::uint8_t> data);
file_traits_t detectLhaSfx(std::span<const std::uint8_t> data);
file_traits_t detectArcSda(std::span<const std::uint8_t> data);
file_traits_t detectArc(std::span<const std::uint8_t> data);
file_traits_t detectArchiveGen(std::span<const std::uint8_t> data);
file_traits_t detectDArc(std::span<const std::uint8_t> data);
file_traits_t detectSdaVision(std::span<const std::uint8_t> data);
file_traits_t detectSdaAgony(std::span<const std::uint8_t> data);
file_traits_t detectSdaVer1996(std::span<const std::uint8_t> data);
file_traits_t detectSdaThunderbirds(std::span<const std::uint8_t> data);
file_traits_t detectGeoConvert(std::span<const std::uint8_t> data);
file_traits_t detectZip4(std::span<const std::uint8_t> data);
file_traits_t detectZip6(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
