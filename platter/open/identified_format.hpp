#pragma once
// What opening needs from identification, in one place.

#include <cstdint>
#include <span>
#include <string_view>

#include "platter/formats/header_kind.hpp"
#include "platter/ids/format_id.hpp"

namespace platter {

// Type id of the first identification result, 0 when nothing was recognised.
std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes);

// The registry id that the first identified type of a file named `path` opens as; none when
// it is no container kind.
format_id identifiedFormat(std::span<const std::uint8_t> bytes, std::string_view path);

// The registry id a file whose extension names `named` (none: no kind, or standard input) of
// identified type `type` (0: none) opens as: the kind identified, or the larger one its header
// or its extension names (kindNamedByHeader), whose image the file is cut short of.
format_id formatOfIdentified(std::uint32_t type, const FileBlockReader& read, format_id named);
// The same for a file held whole in `bytes`.
format_id formatOfIdentified(std::uint32_t type, std::span<const std::uint8_t> bytes, format_id named);

}  // namespace platter
