#include "forge/adler32.hpp"

#include <algorithm>

namespace forge {

namespace {

constexpr std::uint32_t kModulus = 65521;
// Bytes that can be summed before b may overflow 32 bits (as in zlib).
constexpr std::size_t kMaxRun = 5552;

}  // namespace

std::uint32_t adler32(std::uint32_t adler, std::span<const std::uint8_t> bytes) {
    std::uint32_t a = adler & 0xFFFF;
    std::uint32_t b = adler >> 16;
    while (!bytes.empty()) {
        const std::size_t run = std::min(bytes.size(), kMaxRun);
        for (const std::uint8_t byte : bytes.first(run)) {
            a += byte;
            b += a;
        }
        a %= kModulus;
        b %= kModulus;
        bytes = bytes.subspan(run);
    }
    return (b << 16) | a;
}

}  // namespace forge
