#include "platter/petscii/html_converter.hpp"

#include "forge/embedded_font_css.hpp"
#include "forge/strings.hpp"
#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_unicode.hpp"
#include "platter/petscii/petscii_writer.hpp"

namespace platter {

namespace {

constexpr const char* kDescription = "https://www.c64-wiki.com/wiki/PETSCII";

// The entity of a character that would be read as markup, else null.
const char* entityOf(std::uint32_t c) {
    switch (c) {
        case '&': return "&amp;";
        case '<': return "&lt;";
        case '>': return "&gt;";
        case '"': return "&quot;";
        default: return nullptr;
    }
}

}  // namespace

HTMLConverter::HTMLConverter(PetsciiWriter* sink, html_document_options_t options)
    : Converter(sink), options_(std::move(options)) {}

std::uint16_t HTMLConverter::translate(std::uint8_t& c) { return petsciiCharToUnicode(c, sink().charset()); }

void HTMLConverter::put(std::uint16_t code) {
    if (code == ' ') {
        sink().appendText("&nbsp;");
    } else if (const char* entity = entityOf(code)) {
        sink().appendText(entity);
    } else {
        std::string text;
        forge::appendUtf8(code, text);
        sink().appendText(text);
    }
}

void HTMLConverter::putEscaped(std::string_view text) {
    for (const char c : text) {
        if (const char* entity = entityOf(static_cast<std::uint8_t>(c))) {
            sink().appendText(entity);
        } else {
            sink().appendByte(static_cast<std::uint8_t>(c));
        }
    }
}

void HTMLConverter::setAttributes(std::uint64_t first, std::uint64_t second, bool forced) {
    PetsciiWriter& writer = sink();
    if (!writer.foregroundChanged() && !writer.backgroundChanged() && !writer.reverseChanged() && !forced) return;
    if (writer.spanOpen()) {
        writer.appendText("</span>");
        writer.setSpanOpen(false);
    }
    if (forced) return;
    if (!attributesOnly_) {
        writer.setSpanOpen(true);
        writer.appendText("<span ");
    }
    writer.appendText(forge::format("class=\"%sc64_fg%02x c64_bg%02x\"", blockClass_ ? "c64_petscii " : " ",
                                    static_cast<unsigned>(first & 0xFF), static_cast<unsigned>(second & 0xFF)));
    if (!attributesOnly_) writer.appendByte('>');
}

void HTMLConverter::writeHeader(std::string_view generator, std::string_view title, std::uint32_t colourClasses,
                                bool withoutDiskNameRules) {
    if (options_.fragment) return;
    PetsciiWriter& writer = sink();
    writer.appendText(
        "<!DOCTYPE html>\n<html><head>\n"
        "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
        "<meta http-equiv=\"X-UA-Compatible\" content=\"IE=edge\">\n"
        "<meta name=\"Generator\" content=\"");
    putEscaped(generator);
    writer.appendText("\">\n<meta name=\"Description\" content=\"");
    writer.appendText(kDescription);
    writer.appendText("\">\n<title>");
    putEscaped(title);
    writer.appendText("</title>");
    if (!options_.inlineCss) {
        writer.appendText("<link href=\"");
        putEscaped(options_.cssFile);
        writer.appendText("\" rel=\"stylesheet\" type=\"text/css\">\n</head><body>\n");
        return;
    }
    const unsigned cellHeight = sink().cellHeight();
    writer.appendText("<style  type=\"text/css\">\n");
    writer.appendText(forge::embeddedFontFaceRule());
    writer.appendByte('\n');
    writer.appendText(forge::format(
        ".c64_petscii{display:inline-block;clear:both;font-family:\"Tessel Mono\",monospace;font-size: %upt;"
        "line-height: %upx;font-weight:normal;font-style:normal;letter-spacing:0;padding:0;margin:0}",
        cellHeight * 3 / 4, cellHeight));
    if (!withoutDiskNameRules) {
        writer.appendText(
            ".c64_diskname { display: block; margin-top: 4px;}\n"
            ".c64_diskname span { font-family: monospace; font-weight: bold; margin-bottom: 0; padding-left: 16px; "
            "padding-right: 16px; background-color: #000000; color: #ffffff; border-top-left-radius: 10px; "
            "border-top-right-radius: 10px; }\n");
    }
    if (colourClasses != 0) {
        for (const char* rule :
             {".c64_fg%02x{color:#%02x%02x%02x;}\n", ".c64_bg%02x{background-color:#%02x%02x%02x;}\n"}) {
            for (unsigned index = 0; index < g_c64_colour_count; ++index) {
                const forge::rgb_t colour = g_default_palette.colour(index);
                writer.appendText(
                    forge::format(rule, index, unsigned{colour.red}, unsigned{colour.green}, unsigned{colour.blue}));
            }
        }
    }
    writer.appendText("</style></head><body>\n");
}

void HTMLConverter::writeFooter() {
    sink().applyColours(true);
    endText(false);
    if (!options_.fragment) sink().appendText("</body></html>");
}

void HTMLConverter::beginLine(std::uint8_t) {
    sink().appendText("  <div>");
    ++openDivs_;
}

bool HTMLConverter::newline(std::uint8_t) {
    if (openDivs_ == 0) return false;
    --openDivs_;
    if (sink().spanOpen()) {
        sink().appendText("</span>");
        sink().setSpanOpen(false);
    }
    sink().appendText("<br></div>\n");
    return true;
}

void HTMLConverter::writeTitle(std::string_view title, bool suppress) {
    PetsciiWriter& writer = sink();
    if (!suppress) {
        writer.appendText("<div class=\"c64_diskname\"><span>");
        putEscaped(title);
        writer.appendText("</span></div>\n");
    }
    blockClass_ = true;
    writer.appendText("<div ");
    attributesOnly_ = true;
    writer.setSpanOpen(false);
    writer.markBackgroundChanged();
    writer.applyColours(false);
    attributesOnly_ = false;
    writer.appendText(">\n");
    openDivs_ = 1;
    blockClass_ = false;
}

void HTMLConverter::endText(bool) {
    for (; openDivs_ > 0; --openDivs_) sink().appendText("</div>\n");
}

}  // namespace platter
