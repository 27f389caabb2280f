#include "platter/petscii/csv_field.hpp"

#include "forge/numbers.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

std::string petsciiToCsvField(std::span<const std::uint8_t> bytes, bool keepCase) {
    std::string text;
    petsciiToText(bytes, text, TextMode::plain, false, keepCase, false);
    return csvQuote(text);
}

std::string csvQuote(std::string_view text) {
    // A quote or line break left bare would end the field or the row early.
    if (text.find_first_of(",\"\r\n") != std::string_view::npos) return csvQuoted(text);
    return std::string(text);
}

std::string csvQuoted(std::string_view text) {
    std::string field;
    field.reserve(text.size() + 2);
    field += '"';
    for (char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    field += '"';
    return field;
}

std::string hexBytes(std::span<const std::uint8_t> bytes) { return forge::bytesToHex(bytes); }

}  // namespace platter
