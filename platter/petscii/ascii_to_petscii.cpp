#include "platter/petscii/ascii_to_petscii.hpp"

#include "platter/petscii/petscii_tables.hpp"

namespace platter {

std::uint8_t asciiCharToPetscii(std::uint8_t c, Charset set) {
    if (c == '\n') return 13;
    if (c == '_') return 0xA4;
    if (c < 0x20) return c;
    return set == Charset::upperGraphics ? g_ascii_to_petscii_upper[c] : g_ascii_to_petscii_lower[c];
}

void asciiToPetscii(std::string_view text, std::vector<std::uint8_t>& out, Charset set) {
    out.reserve(out.size() + text.size());
    for (char c : text) out.push_back(asciiCharToPetscii(static_cast<std::uint8_t>(c), set));
}

std::uint8_t asciiCharToPetsciiCase(std::uint8_t c, bool keepCase) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter) return keepCase ? c : static_cast<std::uint8_t>(c ^ 0x20);
    if (c == '\n') return 13;
    if (c == '_') return 0xA4;
    return c;
}

bool asciiToPetsciiChar(std::uint8_t c, std::uint8_t& out, Charset mode, bool strict) {
    out = c;
    if (c == 8) {
        out = 20;
        return true;
    }
    if (c == 10) {
        out = 13;
        return true;
    }
    if (c == '[' || c == ']' || (c >= 0x20 && c <= 0x40)) return true;
    if (c >= 'A' && c <= 'Z') {
        if (mode != Charset::upperGraphics) out = c | 0x80;
        return true;
    }
    if (c >= 'a' && c <= 'z') {
        out = mode != Charset::upperGraphics ? (c & 0x5F) : ((c & 0x5F) | 0x80);
        return true;
    }
    return !strict;
}

bool asciiStringToPetscii(std::string_view text, std::string& out, Charset mode, bool strict) {
    bool ok = true;
    for (char c : text) {
        std::uint8_t code = 0;
        ok = asciiToPetsciiChar(static_cast<std::uint8_t>(c), code, mode, strict) && ok;
        out += static_cast<char>(code);
    }
    return ok;
}

}  // namespace platter
