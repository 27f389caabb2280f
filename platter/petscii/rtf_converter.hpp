#pragma once

#include "platter/petscii/converter.hpp"

namespace platter {

// A Rich Text Format document in Tessel Mono at 12 points; characters beyond
// 7-bit ASCII become Unicode escapes so that the font shows the Commodore
// glyphs. Colours are not carried.
class RTFConverter final : public Converter {
public:
    using Converter::Converter;
    std::uint16_t translate(std::uint8_t& c) override;
    void put(std::uint16_t code) override;
    void setAttributes(std::uint64_t, std::uint64_t, bool) override {}
    // Mode 0 adds a second, proportional font to the table.
    void writeHeader(std::string_view generator, std::string_view title, std::uint32_t mode,
                     bool withoutDiskNameRules) override;
    void writeFooter() override;
    bool newline(std::uint8_t c) override;
    // The title is UTF-8 text (a host path).
    void writeTitle(std::string_view title, bool suppress) override;
    void endText(bool streamWasOpen) override;

private:
    void putText(std::string_view utf8);
};

}  // namespace platter
