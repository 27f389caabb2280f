#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace platter::fileid {

// The one-line description of the data: every identified type's name with its
// metadata in braces, joined by "; " (for example "d64/35 {c128 boot; GEOS}").
std::string describe(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
