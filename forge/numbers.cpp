#include "forge/numbers.hpp"

#include "forge/strings.hpp"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace forge {

namespace {

constexpr char kHexDigits[] = "0123456789abcdef";
constexpr std::uint64_t kMaxParsed = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());

// The digit's value in radix 2, 10 or 16, or -1.
int digitValue(char c, unsigned radix) {
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < radix ? value : -1;
}

struct number_text_t {
    std::string_view digits;
    unsigned radix;
};

// Splits off the prefix that decides the radix of a typed number.
number_text_t splitPrefix(std::string_view text) {
    if (text.size() >= 3 && text.starts_with("0x")) return {text.substr(2), 16};
    if (text.size() >= 2 && text[0] == '$') return {text.substr(1), 16};
    if (text.size() >= 2 && text[0] == '%') return {text.substr(1), 2};
    return {text, 10};
}

bool allDigits(std::string_view digits, unsigned radix) {
    if (digits.empty()) return false;
    for (char c : digits) {
        if (digitValue(c, radix) < 0) return false;
    }
    return true;
}

}  // namespace

bool isNumber(std::string_view text, unsigned radix) {
    if (radix == 0) {
        const number_text_t number = splitPrefix(text);
        return allDigits(number.digits, number.radix);
    }
    if (radix != 2 && radix != 10 && radix != 16) return false;
    return allDigits(text, radix);
}

std::int64_t parseNumber(std::string_view text) {
    const number_text_t number = splitPrefix(text);
    if (!allDigits(number.digits, number.radix)) return -1;
    std::uint64_t value = 0;
    for (char c : number.digits) {
        const auto digit = static_cast<std::uint64_t>(digitValue(c, number.radix));
        if (value > (kMaxParsed - digit) / number.radix) return -1;
        value = value * number.radix + digit;
    }
    return static_cast<std::int64_t>(value);
}

std::int64_t parseUnsigned(std::string_view text, int base) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return -1;
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const unsigned long long value = std::strtoull(copy.c_str(), &end, base);
    if (errno != 0 || end != copy.c_str() + copy.size() || value > kMaxParsed) return -1;
    return static_cast<std::int64_t>(value);
}

unsigned countDigits(std::uint64_t value) {
    unsigned digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

unsigned countDigits(std::uint32_t value) { return countDigits(static_cast<std::uint64_t>(value)); }

unsigned countDigits(std::int32_t value) {
    // Widen before negating so that INT32_MIN does not overflow.
    const std::int64_t wide = value;
    return wide < 0 ? 1 + countDigits(static_cast<std::uint64_t>(-wide))
                    : countDigits(static_cast<std::uint64_t>(wide));
}

std::string humanReadableSize(std::uint64_t bytes, int decimals) {
    if (bytes < 1024) return std::to_string(bytes);
    constexpr std::string_view units = "KMGTPE";
    const int places = decimals < 0 ? 0 : decimals;
    double scaled = static_cast<double>(bytes) / 1024.0;
    std::size_t unit = 0;
    std::string text = format("%.*f", places, scaled);
    // Move up a unit when rounding would show 1024 of this one.
    while (unit + 1 < units.size() && std::strtod(text.c_str(), nullptr) >= 1024.0) {
        scaled /= 1024.0;
        ++unit;
        text = format("%.*f", places, scaled);
    }
    return text + units[unit];
}

std::string toHex(std::uint64_t value, unsigned width) {
    if (width == 0) {
        width = 2;
        for (std::uint64_t rest = value >> 8; rest != 0; rest >>= 8) width += 2;
    }
    std::string out(width, '0');
    for (std::size_t i = out.size(); i > 0 && value != 0; --i) {
        out[i - 1] = kHexDigits[value & 0xF];
        value >>= 4;
    }
    return out;
}

std::string bytesToHex(std::span<const std::uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (std::uint8_t byte : bytes) {
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xF];
    }
    return out;
}

std::string bytesToHex(std::string_view bytes) {
    return bytesToHex(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<std::uint8_t> hexToBytes(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const int high = digitValue(text[pos], 16);
        if (high < 0) continue;
        const int low = pos + 1 < text.size() ? digitValue(text[pos + 1], 16) : -1;
        if (low < 0) {
            bytes.push_back(static_cast<std::uint8_t>(high));
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | low));
            ++pos;
        }
    }
    return bytes;
}

}  // namespace forge
