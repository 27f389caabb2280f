#include "platter/petscii/text_to_petscii.hpp"

namespace forge {

namespace {

constexpr std::uint32_t accepted(std::uint8_t code) { return (std::uint32_t{code} << 8) | 1; }

}  // namespace

std::uint32_t charToPetscii(std::uint8_t c, platter::Charset set, bool raw) {
    const std::uint32_t refused = (std::uint32_t{c} << 8) | (raw ? 1 : 0);
    const bool lowerUpper = set == platter::Charset::lowerUpper;
    if (c == 13 || c == 10) return accepted(13);
    if (c == 8 || c == 127) return accepted(0x14);
    if (c < 0x20) return refused;
    if (c <= 0x40 || (c >= '[' && c <= '^')) return accepted(c);
    if (c == '_') return accepted(0xA4);
    if (c == '`') return accepted(0x5F);
    if (c >= 'A' && c <= 'Z') return accepted(lowerUpper ? (c | 0x80) : c);
    if (c >= 'a' && c <= 'z') return lowerUpper ? accepted(c & 0x5F) : refused;
    return refused;
}

std::vector<std::uint8_t> textToPetscii(std::string_view text, platter::Charset set, bool raw) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size());
    for (char c : text) {
        const std::uint32_t result = charToPetscii(static_cast<std::uint8_t>(c), set, raw);
        if ((result & 1) == 0) return {};
        out.push_back(static_cast<std::uint8_t>(result >> 8));
    }
    return out;
}

}  // namespace forge
