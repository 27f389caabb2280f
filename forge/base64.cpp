#include "forge/base64.hpp"

namespace forge {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

std::string base64Encode(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t at = 0;
    for (; at + 3 <= bytes.size(); at += 3) {
        const std::uint32_t group =
            (std::uint32_t{bytes[at]} << 16) | (std::uint32_t{bytes[at + 1]} << 8) | bytes[at + 2];
        for (const int shift : {18, 12, 6, 0}) text += kAlphabet[(group >> shift) & 63];
    }
    const std::size_t rest = bytes.size() - at;
    if (rest == 0) return text;
    std::uint32_t group = std::uint32_t{bytes[at]} << 16;
    if (rest == 2) group |= std::uint32_t{bytes[at + 1]} << 8;
    text += kAlphabet[group >> 18];
    text += kAlphabet[(group >> 12) & 63];
    text += rest == 2 ? kAlphabet[(group >> 6) & 63] : '=';
    text += '=';
    return text;
}

}  // namespace forge
