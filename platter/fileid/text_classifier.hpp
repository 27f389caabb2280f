#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// Tells text from binary data and sorts text by its line ends and character set:
// "text", "dos text", "unix text", "mac text", "petscii", or unknown for binary data.
file_traits_t detectTextOrData(std::span<const std::uint8_t> data);

}  // namespace platter::fileid
