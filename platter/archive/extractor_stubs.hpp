#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace platter {

// The ARC archive behind the extractor stub of a self-dissolving ARC (SDA):
// (byte 4 - 6) x 254 bytes long. None for files under 1016 bytes, a byte 4
// below 6, or a stub longer than the file.
std::optional<std::span<const std::uint8_t>> skipSdaStub(std::span<const std::uint8_t> bytes);

// The LHA archive behind the extractor stub of a self-extracting LHA (SFX):
// byte 103 0xCE gives a stub of 3721 bytes, 0xC4 one of 3711; any other
// value the shortest of 3651, 3711 and 3721 bytes that an LHA method
// follows two bytes in. None when no stub fits or nothing follows it.
std::optional<std::span<const std::uint8_t>> skipSfxStub(std::span<const std::uint8_t> bytes);

}  // namespace platter
