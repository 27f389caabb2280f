#include "platter/petscii/petscii_text.hpp"

#include <algorithm>
#include <string_view>

#include "platter/petscii/cbm_name.hpp"
#include "platter/petscii/petscii_substitutions.hpp"
#include "platter/petscii/petscii_tables.hpp"
#include "platter/petscii/petscii_unicode.hpp"

namespace platter {

namespace {

bool isAsciiLetter(std::uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

const petscii_substitution_t* findSubstitution(std::uint8_t c) {
    for (const auto& record : g_petscii_substitutions) {
        if (record.code == c) return &record;
    }
    return nullptr;
}

bool keptInNames(std::uint8_t c) {
    return c == ' ' || std::string_view("!#%()-.").find(static_cast<char>(c)) != std::string_view::npos;
}

void appendControlCode(std::uint8_t c, std::string& out, bool keepCase, bool asciiOnly) {
    if (asciiOnly) {
        out += '?';
    } else if (c == 9) {
        out += '\t';
    } else if (c == 13) {
        out += "\r\n";
    } else {
        const auto& table = keepCase ? g_petscii_to_unicode_upper : g_petscii_to_unicode_lower;
        out += static_cast<char>(table[c] & 0xFF);
    }
}

std::span<const std::uint8_t> cutAtPadding(std::span<const std::uint8_t> name) {
    const std::size_t n = std::min(name.size(), kNameSize);
    return name.first(paddedLength(name, n));
}

// Characters that cannot stand in a host file name, and control bytes.
bool unsafeInHostName(std::uint8_t c) {
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F) ||
           std::string_view("?\"/\\<>*|:").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

void petsciiToText(std::span<const std::uint8_t> bytes, std::string& out, TextMode mode, bool useSubstitutions,
                   bool keepCase, bool asciiOnly) {
    const bool substitute = useSubstitutions && !g_petscii_substitutions.empty();
    for (std::uint8_t c : bytes) {
        if (substitute) {
            if (const auto* record = findSubstitution(c)) {
                out += record->text;
                continue;
            }
        }
        if (c < 0x20) {
            appendControlCode(c, out, keepCase, asciiOnly);
            continue;
        }
        if (c == 0xA4) {
            out += '_';
            continue;
        }
        if (mode == TextMode::nameSafe && c <= 0x2F && !keptInNames(c)) continue;
        if (c >= 0xC0 && c <= 0xDF) {
            c = static_cast<std::uint8_t>(c - 0x60);
        } else if (c == 0xA0 || c == 0xE0) {
            c = ' ';
        }
        if (isAsciiLetter(c) && !keepCase) {
            c ^= 0x20;
        } else if (asciiOnly && (c >= 0x80 || c == '}')) {
            c = '?';
        }
        out += static_cast<char>(c);
    }
}

std::string petsciiBytesToText(std::span<const std::uint8_t> bytes, TextMode mode, bool useSubstitutions,
                               bool keepCase) {
    std::string out;
    petsciiToText(bytes, out, mode, useSubstitutions, keepCase, false);
    return out;
}

std::string petsciiNameToString(std::span<const std::uint8_t> name, bool hostSafe) {
    std::string text;
    petsciiToText(cutAtPadding(name), text, hostSafe ? TextMode::nameSafe : TextMode::plain,
                  g_use_petscii_substitutions, false, false);
    if (!hostSafe) return text;
    std::erase_if(text, [](char c) { return unsafeInHostName(static_cast<std::uint8_t>(c)); });
    // These would name the target directory itself or its parent.
    if (text.empty() || text == "." || text == "..") text.insert(0, 1, '_');
    return text;
}

std::string petsciiNameToAscii(std::span<const std::uint8_t> name, bool asciiOnly) {
    std::string text;
    petsciiToText(cutAtPadding(name), text, TextMode::plain, false, false, asciiOnly);
    return text;
}

std::string petsciiNameToUtf8(std::span<const std::uint8_t> name, bool hostSafe) {
    return latin1ToUtf8(petsciiNameToString(name, hostSafe));
}

std::string quotedName(std::span<const std::uint8_t> name) { return "'" + petsciiNameToUtf8(name, false) + "'"; }

bool petsciiToAscii(std::uint8_t c, std::uint8_t& out, Charset mode, bool strict) {
    out = c;
    const bool refused = !strict;
    if (c == 0xA4) {
        out = '_';
        return refused;
    }
    if (c == 0xA0 || c == 0xE0) {
        out = ' ';
        return true;
    }
    if (c == 13 || c == 141) {
        out = '\n';
        return true;
    }
    if (c == '[' || c == ']' || (c >= 0x20 && c <= 0x40)) return true;
    if (c >= 0x41 && c <= 0x5A) {
        if (mode != Charset::upperGraphics) out = c | 0x20;
        return true;
    }
    if ((c >= 0x61 && c <= 0x7A) || (c >= 0xC1 && c <= 0xDA)) {
        if (mode != Charset::lowerUpper) return refused;
        out = c & 0x5F;
        return true;
    }
    return refused;
}

}  // namespace platter
