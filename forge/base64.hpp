#pragma once
// Base64 of RFC 4648 (standard alphabet, '=' padding), as data: URLs carry binary.

#include <cstdint>
#include <span>
#include <string>

namespace forge {

std::string base64Encode(std::span<const std::uint8_t> bytes);

}  // namespace forge
