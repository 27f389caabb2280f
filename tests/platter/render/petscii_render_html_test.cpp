#include "platter/render/petscii_render_html.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/bytes.hpp"
#include <vector>

namespace platter {
namespace {

using test_support::countOf;

// The rows between the opened preformatted block and the footer.
std::string bodyOf(const std::string& page) {
    const std::size_t start = page.find("\">\n", page.find("<pre class"));
    const std::size_t end = page.rfind("</pre></body></html>");
    if (start == std::string::npos || end == std::string::npos) return "<no body>";
    return page.substr(start + 3, end - start - 3);
}

std::string renderHtml(const std::vector<std::uint8_t>& text, Charset charset = Charset::upperGraphics,
                       std::uint8_t background = 6, std::uint16_t fontSize = 16) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setCharset(charset).setData(text).interpret();
    PetsciiRenderHtml render;
    render.setDocument(true).setAppName("zt v1.7.0/Korrin").setBackground(background).setFontSize(fontSize);
    render.begin().renderSection(screen, "").end();
    return render.str();
}

TEST(PetsciiRenderHtml, PageHeadStyleAndPalette) {
    const std::string page = renderHtml({});
    EXPECT_EQ(page.rfind("<!doctype html>\n<html lang=\"en\">\n<head>\n  <meta charset=\"utf-8\">\n", 0), 0u);
    EXPECT_NE(page.find("  <meta name=\"generator\" content=\"zt v1.7.0/Korrin\">\n"), std::string::npos);
    EXPECT_NE(page.find("<body class=\"b6\">\n\t<pre class=\"petscii b6\">\n"), std::string::npos);
    EXPECT_NE(page.find("      font-size: 12pt;\n      line-height: 16px;\n"), std::string::npos);
    EXPECT_NE(page.find(".f0{color:#000000;}.b0{background-color:#000000;}.f1{color:#ffffff;}"), std::string::npos);
    EXPECT_NE(page.find(".fe{color:#6c5eb5;}.be{background-color:#6c5eb5;}"), std::string::npos);
    EXPECT_EQ(countOf(page, "{color:#"), 16u);
    EXPECT_EQ(countOf(page, "{background-color:#"), 16u);
    EXPECT_NE(page.find(".c64_diskname span {\n"), std::string::npos);
    EXPECT_EQ(bodyOf(page), "");
    EXPECT_NE(renderHtml({}, Charset::upperGraphics, 11, 8).find("font-size: 6pt;\n      line-height: 8px;"),
              std::string::npos);
    EXPECT_NE(renderHtml({}, Charset::upperGraphics, 11).find("<body class=\"bb\">"), std::string::npos);
}

TEST(PetsciiRenderHtml, ColourRunsPerRow) {
    EXPECT_EQ(bodyOf(renderHtml({5, 'H', 'E', 'L', 'L', 'O'})), "<i class=\"f1\">HELLO</i>\n");
    EXPECT_EQ(bodyOf(renderHtml({5, 'H', 'E', 'L', 'L', 'O'}, Charset::lowerUpper)), "<i class=\"f1\">hello</i>\n");
    EXPECT_EQ(bodyOf(renderHtml({5, 'A', 28, 'B'})), "<i class=\"f1\">A</i><i class=\"f2\">B</i>\n");
    // A new row opens its own run even in the same colour; blanks carry none.
    EXPECT_EQ(bodyOf(renderHtml({5, 'A', 13, 'B', 13, ' ', ' '})),
              "<i class=\"f1\">A</i>\n<i class=\"f1\">B</i>\n  \n");
}

TEST(PetsciiRenderHtml, EscapesAndPrivateUseGlyphs) {
    EXPECT_EQ(bodyOf(renderHtml({'<', '>', '&'})), "<i class=\"fe\">&lt;&gt;&amp;</i>\n");
    EXPECT_EQ(bodyOf(renderHtml({18, '<'})), "<i class=\"fe\">\xEE\x88\xBC</i>\n");  // U+E23C
    EXPECT_EQ(bodyOf(renderHtml({0x71})), "<i class=\"fe\">\xEE\x81\xB1</i>\n");     // U+E071
}

TEST(PetsciiRenderHtml, SectionsTitlesAndLinkedStyle) {
    PetsciiScreen screen(40, 25, 14, false);
    screen.setData(std::vector<std::uint8_t>{'A'}).interpret();
    PetsciiRenderHtml render;
    render.setDocument(true).setSections(true).setTitle("a<b").setCssFilename("c64.css");
    render.begin().renderSection(screen, "disk & <name>.d64").end();
    const std::string page = render.str();
    EXPECT_NE(page.find("<title>a&lt;b</title>"), std::string::npos);
    EXPECT_NE(page.find("  <link href=\"c64.css\" rel=\"stylesheet\" type=\"text/css\">\n"), std::string::npos);
    EXPECT_EQ(page.find("<style"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"c64_diskname\"><span>disk &amp; &lt;name&gt;.d64</span></div>"
                        "<i class=\"fe\">A</i>\n</pre></body></html>"),
              std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 20), "</pre></body></html>");
}

}  // namespace
}  // namespace platter
