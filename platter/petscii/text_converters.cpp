#include "platter/petscii/text_converters.hpp"

#include <string>

#include "platter/petscii/colour_codes.hpp"
#include "platter/petscii/glyph_code_points.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/petscii_unicode.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

namespace {

constexpr std::uint8_t kLineFeed = 10;

void appendUtf16(PetsciiWriter& sink, std::uint16_t code) {
    sink.appendByte(static_cast<std::uint8_t>(code));
    sink.appendByte(static_cast<std::uint8_t>(code >> 8));
}

}  // namespace

std::uint16_t AsciiConverter::translate(std::uint8_t& c) {
    std::string text;
    petsciiToText({&c, 1}, text, TextMode::plain, false, sink().charset() == Charset::upperGraphics, false);
    if (text.empty()) return c;
    // Text put without a position may take every byte; a cell holds one.
    if (sink().noPosition()) {
        for (std::size_t i = 0; i + 1 < text.size(); ++i) sink().appendByte(static_cast<std::uint8_t>(text[i]));
    }
    return static_cast<std::uint8_t>(text.back());
}

bool AsciiConverter::newline(std::uint8_t) {
    sink().appendByte(kPetsciiReturn);
    return true;
}

std::uint16_t UnicodeConverter::translate(std::uint8_t& c) {
    if (c == kPetsciiReturn) {
        appendUtf16(sink(), kPetsciiReturn);
        c = kLineFeed;
        return kLineFeed;
    }
    return petsciiCharToUnicode(c, sink().charset());
}

void UnicodeConverter::put(std::uint16_t code) { appendUtf16(sink(), code); }

bool UnicodeConverter::newline(std::uint8_t) {
    appendUtf16(sink(), kPetsciiReturn);
    appendUtf16(sink(), kLineFeed);
    return true;
}

std::uint16_t EliteConverter::translate(std::uint8_t& c) {
    return petsciiGlyphCodePoint(c, sink().charset(), sink().isReversed());
}

void EliteConverter::put(std::uint16_t code) {
    if (sink().reverseChanged()) {
        sink().appendByte(0);
        sink().appendByte(sink().isReversed() ? kPetsciiReverseOn : kPetsciiReverseOff);
    }
    appendUtf16(sink(), code);
}

void SEQConverter::setAttributes(std::uint64_t, std::uint64_t, bool) { putReverseChange(); }

bool SEQConverter::newline(std::uint8_t) {
    sink().appendByte(kPetsciiReturn);
    return true;
}

}  // namespace platter
