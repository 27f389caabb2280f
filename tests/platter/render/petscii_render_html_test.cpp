#include "platter/render/petscii_render_html.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platter {
namespace {

// The rows between the opened preformatted block and the footer.
std::string htmlBodyOf(const std::string& page) {
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

// The default page is pinned byte for byte by the render command's cases; these are the settings it
// leaves at their defaults.
TEST(PetsciiRenderHtml, BackgroundClassAndFontSizeFollowTheSettings) {
    const std::string page = renderHtml({}, Charset::upperGraphics, 11, 8);
    EXPECT_NE(page.find("<body class=\"bb\">\n\t<pre class=\"petscii bb\">\n"), std::string::npos);
    EXPECT_NE(page.find("font-size: 6pt;\n      line-height: 8px;"), std::string::npos);
    EXPECT_EQ(htmlBodyOf(page), "");
}

// A browser without the font installed draws the private-use glyphs from the page's own copy.
TEST(PetsciiRenderHtml, InlineStyleCarriesTheFont) {
    const std::string page = renderHtml({});
    EXPECT_NE(page.find("  <style type=\"text/css\">\n"
                        "    @font-face{font-family:\"Tessel Mono\";src:url(data:font/ttf;base64,AAEAAA"),
              std::string::npos);
    EXPECT_NE(page.find(") format(\"truetype\");}\n    .petscii {\n"), std::string::npos);
}

TEST(PetsciiRenderHtml, ColourRunsPerRow) {
    EXPECT_EQ(htmlBodyOf(renderHtml({5, 'H', 'E', 'L', 'L', 'O'})), "<i class=\"f1\">HELLO</i>\n");
    EXPECT_EQ(htmlBodyOf(renderHtml({5, 'H', 'E', 'L', 'L', 'O'}, Charset::lowerUpper)), "<i class=\"f1\">hello</i>\n");
    EXPECT_EQ(htmlBodyOf(renderHtml({5, 'A', 28, 'B'})), "<i class=\"f1\">A</i><i class=\"f2\">B</i>\n");
    // A new row opens its own run even in the same colour; blanks carry none.
    EXPECT_EQ(htmlBodyOf(renderHtml({5, 'A', 13, 'B', 13, ' ', ' '})),
              "<i class=\"f1\">A</i>\n<i class=\"f1\">B</i>\n  \n");
}

TEST(PetsciiRenderHtml, EscapesAndPrivateUseGlyphs) {
    EXPECT_EQ(htmlBodyOf(renderHtml({'<', '>', '&'})), "<i class=\"fe\">&lt;&gt;&amp;</i>\n");
    EXPECT_EQ(htmlBodyOf(renderHtml({18, '<'})), "<i class=\"fe\">\xEE\x88\xBC</i>\n");  // U+E23C
    EXPECT_EQ(htmlBodyOf(renderHtml({0x71})), "<i class=\"fe\">\xEE\x81\xB1</i>\n");     // U+E071
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
    EXPECT_EQ(page.find("@font-face"), std::string::npos);
    EXPECT_NE(page.find("<div class=\"c64_diskname\"><span>disk &amp; &lt;name&gt;.d64</span></div>"
                        "<i class=\"fe\">A</i>\n</pre></body></html>"),
              std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 20), "</pre></body></html>");
}

}  // namespace
}  // namespace platter
