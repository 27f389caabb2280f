#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Disk images by their exact size (plain, or with one error byte per block).
file_traits_t detectD64(std::span<const std::uint8_t> data);
file_traits_t detectD64Truncated(std::span<const std::uint8_t> data);
file_traits_t detectD71(std::span<const std::uint8_t> data);
file_traits_t detectD81(std::span<const std::uint8_t> data);
file_traits_t detectD80(std::span<const std::uint8_t> data);
file_traits_t detectD82(std::span<const std::uint8_t> data);
file_traits_t detectD1M(std::span<const std::uint8_t> data);
file_traits_t detectD2M(std::span<const std::uint8_t> data);
file_traits_t detectD4M(std::span<const std::uint8_t> data);

// Raw-track, tape and single-file images by their signature.
file_traits_t detectG64(std::span<const std::uint8_t> data);
file_traits_t detectNib(std::span<const std::uint8_t> data);
file_traits_t detectNbz(std::span<const std::uint8_t> data);
file_traits_t detectT64(std::span<const std::uint8_t> data);
file_traits_t detectPC64(std::span<const std::uint8_t> data);
file_traits_t detectDreamload(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
