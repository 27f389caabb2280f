#pragma once

#include "platter/core/container_format.hpp"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace platter {

class Disk;

// Well-known registry ids.
inline constexpr std::uint32_t kFormatD64 = 1;
inline constexpr std::uint32_t kFormatD71 = 2;
inline constexpr std::uint32_t kFormatD81 = 3;
inline constexpr std::uint32_t kFormatZipcode = 6;
inline constexpr std::uint32_t kFormatLynx = 10;
inline constexpr std::uint32_t kFormatPrg = 12;
inline constexpr std::uint32_t kFormatDnp = 22;
inline constexpr std::uint32_t kFormatDhd = 30;
inline constexpr std::uint32_t kFormatUnknown = 37;
inline constexpr std::uint32_t kFormatNbz = 51;

// Every row of the registry, in table order.
std::span<const container_format_t> containerFormats();

// The row of a registry id (the later row when two share it), or null.
const container_format_t* formatById(std::uint32_t id);
// The row of an extension given with or without its dot, in any case (the later row when two
// share it); null for an empty or unknown extension. "*" finds the ALL row.
const container_format_t* formatByExtension(std::string_view extension);
// The first row whose CBM type equals `type`, or null.
const container_format_t* formatByCbmType(std::uint32_t type);

// Every non-empty extension of the registry, sorted, then the zipcode part prefixes.
std::vector<std::string> supportedExtensions();

// An empty formatted image of a registry id, or null for ids that cannot be created blank
// (or whose class is not available).
std::unique_ptr<Disk> createBlankDisk(std::uint32_t formatId, std::uint32_t formatArgument);

// An unopened image object of the class that serves a registry id (presets set, no provider),
// or null when the id names no image class or its class is not available.
std::unique_ptr<Disk> makeDiskOfFormat(std::uint32_t formatId);

// CMD partition types: 1 native, 2 D64, 3 D71, 4 D81; 0 for other formats.
std::uint32_t cmdPartitionTypeOf(std::uint32_t formatId);
// Registry id of a CMD partition type; kFormatUnknown for types that hold no image.
std::uint32_t formatOfCmdPartitionType(std::uint32_t partitionType);

}  // namespace platter
