#pragma once

#include <string>

#include "platter/petscii/converter.hpp"

namespace platter {

// How an HTML document is framed.
struct html_document_options_t {
    bool fragment = false;  // neither the document head nor its tail
    bool inlineCss = true;  // the rules in the head, else a link to cssFile
    std::string cssFile;
};

// An HTML document in Tessel Mono with the 16 colours as CSS classes: one
// div per screen line and one span per run of a colour pair. Inline rules
// carry the font itself, so the glyphs show where it is not installed.
class HTMLConverter final : public Converter {
public:
    explicit HTMLConverter(PetsciiWriter* sink, html_document_options_t options = {});
    std::uint16_t translate(std::uint8_t& c) override;
    void put(std::uint16_t code) override;
    void setAttributes(std::uint64_t first, std::uint64_t second, bool forced) override;
    void writeHeader(std::string_view generator, std::string_view title, std::uint32_t colourClasses,
                     bool withoutDiskNameRules) override;
    void writeFooter() override;
    void beginLine(std::uint8_t first) override;
    bool newline(std::uint8_t c) override;
    void writeTitle(std::string_view title, bool suppress) override;
    void endText(bool streamWasOpen) override;

private:
    void putEscaped(std::string_view text);

    html_document_options_t options_;
    bool attributesOnly_ = false;  // colour the block div: a class attribute, no span
    std::uint64_t openDivs_ = 0;
    bool blockClass_ = false;  // the class attribute starts with "c64_petscii "
};

}  // namespace platter
