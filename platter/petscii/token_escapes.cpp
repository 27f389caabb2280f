#include "platter/petscii/token_escapes.hpp"

#include <cctype>
#include <optional>
#include <string>

#include "forge/numbers.hpp"
#include "forge/strings.hpp"
#include "platter/petscii/ascii_to_petscii.hpp"
#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/token_table.hpp"

namespace platter {

namespace {

std::uint8_t lenientPetscii(char c, Charset mode) {
    std::uint8_t code = 0;
    asciiToPetsciiChar(static_cast<std::uint8_t>(c), code, mode, false);
    return code;
}

// A count the user typed, within the repetition limit.
std::optional<std::uint32_t> repeatCount(std::string_view text) {
    if (!forge::isNumber(text, 0)) return std::nullopt;
    const std::int64_t count = forge::parseNumber(text);
    if (count < 0 || count > kMaxTokenRepeat) return std::nullopt;
    return static_cast<std::uint32_t>(count);
}

enum class Repeat { notRepetition, ok, failed };

// "x*N" repeats x, "x**N" repeats "x*"; other shapes are no repetition.
Repeat parseRepetition(std::string_view token, std::vector<std::uint8_t>& out, Charset mode) {
    const auto pieces = forge::split(token, '*', true);
    std::string repeated;
    std::optional<std::uint32_t> count;
    if (pieces.size() == 2) {
        repeated = pieces[0];
        count = repeatCount(pieces[1]);
    } else if (pieces.size() == 3 && pieces[1].empty()) {
        repeated = pieces[0] + '*';
        count = repeatCount(pieces[2]);
    }
    if (!count) return Repeat::notRepetition;
    if (*count == 0) return Repeat::ok;
    // The piece gives the same bytes every time: parse it once, then copy.
    std::vector<std::uint8_t> piece;
    if (!parseToken(repeated, piece, mode) || piece.size() * *count > kMaxTokenOutput) return Repeat::failed;
    out.reserve(out.size() + piece.size() * *count);
    for (std::uint32_t i = 0; i < *count; ++i) out.insert(out.end(), piece.begin(), piece.end());
    return Repeat::ok;
}

bool parseColour(std::string_view token, std::vector<std::uint8_t>& out) {
    if (token.size() < 3 || (token[0] != 'c' && token[0] != 'C') || token[1] != ':') return false;
    const std::string_view number = token.substr(2);
    if (!forge::isNumber(number, 0)) return false;
    const std::int64_t index = forge::parseNumber(number);
    if (index < 0 || index >= 16) return false;
    out.push_back(static_cast<std::uint8_t>(colourToPetscii(static_cast<int>(index))));
    return true;
}

bool parseName(std::string_view token, std::vector<std::uint8_t>& out) {
    std::string key;
    for (char c : token) {
        if (!std::isspace(static_cast<unsigned char>(c))) key += c;
    }
    auto code = lookupToken(key);
    if (!code) code = lookupToken(forge::toLower(key));
    if (!code) return false;
    out.push_back(*code);
    return true;
}

}  // namespace

bool parseToken(std::string_view token, std::vector<std::uint8_t>& out, Charset mode) {
    if (token.empty()) return false;
    buildTokenTable();
    if (token.size() == 1) {
        out.push_back(token[0] == '~' ? 0xFF : lenientPetscii(token[0], mode));
        return true;
    }
    if (token.find('*') != std::string_view::npos) {
        const Repeat repeat = parseRepetition(token, out, mode);
        if (repeat != Repeat::notRepetition) return repeat == Repeat::ok;
    }
    if (token[0] == '~') {
        for (char c : token.substr(1)) out.push_back(lenientPetscii(c, Charset::lowerUpper));
        return true;
    }
    if (parseColour(token, out)) return true;
    if (token[0] == '$' && token.size() >= 4) {
        const auto bytes = forge::hexToBytes(token);
        out.insert(out.end(), bytes.begin(), bytes.end());
        return true;
    }
    if (forge::isNumber(token, 0)) {
        const std::int64_t value = forge::parseNumber(token);
        if (value >= 0 && value < 256) {
            out.push_back(static_cast<std::uint8_t>(value));
            return true;
        }
    }
    return parseName(token, out);
}

bool escapedTextToPetscii(std::string_view text, std::vector<std::uint8_t>& out, Charset mode, bool strict) {
    bool inToken = false;
    std::string token;
    for (char c : text) {
        if (c == '{') {
            if (inToken) return false;
            inToken = true;
        } else if (c == '}') {
            if (!inToken || token.empty()) return false;
            if (!parseToken(token, out, mode)) return false;
            token.clear();
            inToken = false;
        } else if (inToken) {
            token += c;
        } else {
            std::uint8_t code = 0;
            if (asciiToPetsciiChar(static_cast<std::uint8_t>(c), code, mode, strict)) out.push_back(code);
        }
    }
    return true;
}

}  // namespace platter
