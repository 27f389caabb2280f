#include "platter/render/petscii_render_html.hpp"

#include <map>
#include <string>

#include "forge/embedded_font_css.hpp"
#include "forge/strings.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kReverseBit = 0x200;

constexpr const char* kPageTemplate =
    "<!doctype html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "  <meta charset=\"utf-8\">\n"
    "  <meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0\">\n"
    "  <meta name=\"generator\" content=\"{^appName^}\">\n"
    "  <meta name=\"description\" content=\"Commodore PETSCII text set in the Tessel Mono font\">\n"
    "  <title>{^title^}</title>\n"
    "  {^cssStyle^}\n"
    "</head>\n"
    "\n"
    "<body class=\"b{^bg^}\">\n"
    "\t<pre class=\"petscii b{^bg^}\">\n";

constexpr const char* kStyleTemplate =
    "  <style type=\"text/css\">\n"
    "    {^fontFace^}\n"
    "    .petscii {\n"
    "      display: inline-block;\n"
    "      clear: both;\n"
    "      font-family: \"Tessel Mono\", monospace;\n"
    "      font-size: {^fontSize^}pt;\n"
    "      line-height: {^lineHeight^}px;\n"
    "      font-weight: normal;\n"
    "      font-style: normal;\n"
    "      letter-spacing: 0;\n"
    "      padding: 0;\n"
    "      margin: 0;\n"
    "    }\n"
    "    .petscii i {\n"
    "      white-space: pre;\n"
    "      font-style: normal;\n"
    "    }\n"
    "    {^palette^}\n"
    "    {^fileHeader^}\n"
    "  </style>";

constexpr const char* kTitleBarStyle =
    ".c64_diskname { display: block; margin-top: 4px;}\n"
    ".c64_diskname span {\n"
    "  font-family: monospace; font-weight: bold;\n"
    "  margin-bottom: 0;\n"
    "  padding-left: 16px; padding-right: 16px;\n"
    "  background-color: #000000; color: #ffffff;\n"
    "  border-top-left-radius: 10px; border-top-right-radius: 10px;\n"
    "}\n";

std::string paletteRules() {
    std::string rules;
    for (unsigned i = 0; i < g_c64_colour_count; ++i) {
        const forge::rgb_t rgb = g_default_palette.colourAt(i);
        const unsigned r = rgb.red, g = rgb.green, b = rgb.blue;
        rules += forge::format(".f%01x{color:#%02x%02x%02x;}", i, r, g, b);
        rules += forge::format(".b%01x{background-color:#%02x%02x%02x;}", i, r, g, b);
    }
    return rules;
}

// Titles are paths as the user typed them; markup characters must not end up as tags.
std::string escapeText(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '<': escaped += "&lt;"; break;
            case '>': escaped += "&gt;"; break;
            case '&': escaped += "&amp;"; break;
            case '"': escaped += "&quot;"; break;
            default: escaped += c;
        }
    }
    return escaped;
}

}  // namespace

void PetsciiRenderHtml::writeHeader() {
    const bool linked = !cssFilename().empty();
    std::map<std::string, std::string> values = {
        {"appName", escapeText(appName())},
        {"title", escapeText(title())},
        {"bg", forge::format("%01x", unsigned{backgroundColour()})},
        {"lineHeight", std::to_string(fontSize())},
        {"fontSize", std::to_string(fontSize() * 3 / 4)},
        {"palette", linked ? std::string() : paletteRules()},
        {"fontFace", linked ? std::string() : forge::embeddedFontFaceRule()},
        {"fileHeader", kTitleBarStyle},
        {"cssFilename", escapeText(cssFilename())},
    };
    const char* style =
        linked ? "<link href=\"{^cssFilename^}\" rel=\"stylesheet\" type=\"text/css\">" : kStyleTemplate;
    values["cssStyle"] = forge::expandTemplate(style, values);
    out() << forge::expandTemplate(kPageTemplate, values);
}

void PetsciiRenderHtml::beginSection(const std::string& sectionTitle) {
    out() << "<div class=\"c64_diskname\"><span>" << escapeText(sectionTitle) << "</span></div>";
}

void PetsciiRenderHtml::glyph(std::uint16_t code) {
    std::uint8_t ascii = 0;
    if ((code & kReverseBit) == 0 && glyphToAscii(code, ascii)) {
        switch (ascii) {
            case '<': out() << "&lt;"; break;
            case '>': out() << "&gt;"; break;
            case '&': out() << "&amp;"; break;
            default: out().put(static_cast<char>(ascii));
        }
        return;
    }
    std::string utf8;
    forge::appendUtf8(code, utf8);
    out() << utf8;
}

void PetsciiRenderHtml::blank() { out().put(' '); }

void PetsciiRenderHtml::foreground(std::uint8_t colour) {
    if (runOpen_) out() << "</i>";
    out() << forge::format("<i class=\"f%01x\">", unsigned{colour});
    runOpen_ = true;
}

void PetsciiRenderHtml::rowEnd() {
    if (runOpen_) out() << "</i>";
    runOpen_ = false;
    out().put('\n');
}

void PetsciiRenderHtml::writeFooter() { out() << "</pre></body></html>"; }

}  // namespace platter
