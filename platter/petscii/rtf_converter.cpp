#include "platter/petscii/rtf_converter.hpp"

#include "forge/strings.hpp"
#include "platter/petscii/petscii_unicode.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

std::uint16_t RTFConverter::translate(std::uint8_t& c) { return petsciiCharToUnicode(c, sink().charset()); }

void RTFConverter::put(std::uint16_t code) {
    if (code == '\\' || code == '{' || code == '}') {
        sink().appendByte('\\');
        sink().appendByte(static_cast<std::uint8_t>(code));
    } else if (code < 128) {
        sink().appendByte(static_cast<std::uint8_t>(code));
    } else {
        // RTF reads the value as a signed 16-bit number.
        sink().appendText(forge::format("\\u%04d?", static_cast<int>(static_cast<std::int16_t>(code))));
    }
}

void RTFConverter::putText(std::string_view utf8) {
    for (const char32_t codePoint : forge::decodeUtf8(utf8)) {
        if (codePoint <= 0xFFFF) {
            put(static_cast<std::uint16_t>(codePoint));
        } else {
            const char32_t above = codePoint - 0x10000;
            put(static_cast<std::uint16_t>(0xD800 + (above >> 10)));
            put(static_cast<std::uint16_t>(0xDC00 + (above & 0x3FF)));
        }
    }
}

void RTFConverter::writeHeader(std::string_view generator, std::string_view, std::uint32_t mode, bool) {
    sink().appendText("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Tessel Mono;}");
    if (mode == 0) sink().appendText("{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}");
    sink().appendText("}{\\*\\generator ");
    putText(generator);
    sink().appendText(";}\\viewkind4\\uc1\\pard\\sl240\\slmult1\\f0\\fs24 ");
}

void RTFConverter::writeFooter() {
    sink().appendByte('}');
    sink().appendByte(0);
}

bool RTFConverter::newline(std::uint8_t) {
    sink().appendText("\\par\r\n");
    return true;
}

void RTFConverter::writeTitle(std::string_view title, bool suppress) {
    if (suppress) return;
    putText(title);
    newline('\r');
}

void RTFConverter::endText(bool) { sink().appendText("\\par\r"); }

}  // namespace platter
