#include "platter/petscii/html_converter.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/petscii/petscii_writer.hpp"
#include "tests/platter/petscii/written_text.hpp"

namespace platter {
namespace {

using test_support::writtenText;

std::size_t count(const std::string& haystack, const std::string& needle) {
    std::size_t n = 0;
    for (std::size_t pos = haystack.find(needle); pos != std::string::npos; pos = haystack.find(needle, pos + 1)) ++n;
    return n;
}

// A title block and three lines "A&", " <B>" (reversed) and "C".
std::string listing(const html_document_options_t& options) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    HTMLConverter html(&writer, options);
    html.writeHeader("Tomekeeper", "<x&y>.d64", 1, true);
    html.writeTitle("a\"b", false);
    writer.write(0, 0, "A&", false);
    writer.newline();
    writer.write(0, 1, " <B>", true);
    writer.newline();
    writer.write(0, 2, "C", false);
    writer.newline();
    html.writeFooter();
    return writtenText(writer);
}

TEST(HTMLConverter, Document) {
    const std::string html = listing({});
    EXPECT_EQ(html.rfind("<!DOCTYPE html>\n<html><head>\n", 0), 0u);
    EXPECT_NE(html.find("<meta name=\"Generator\" content=\"Tomekeeper\">\n"), std::string::npos);
    EXPECT_NE(html.find("<title>&lt;x&amp;y&gt;.d64</title><style  type=\"text/css\">\n"
                        "@font-face{font-family:\"Tessel Mono\";src:url(data:font/ttf;base64,AAEAAA"),
              std::string::npos);
    EXPECT_NE(html.find(") format(\"truetype\");}\n.c64_petscii{"), std::string::npos);
    EXPECT_NE(html.find("font-size: 6pt;line-height: 8px;"), std::string::npos);
    EXPECT_EQ(html.find(".c64_diskname {"), std::string::npos);
    EXPECT_NE(html.find(".c64_fg06{color:#352879;}\n"), std::string::npos);
    EXPECT_NE(html.find(".c64_bg0e{background-color:#6c5eb5;}\n"), std::string::npos);
    EXPECT_NE(html.find("</style></head><body>\n<div class=\"c64_diskname\"><span>a&quot;b</span></div>\n"
                        "<div class=\"c64_petscii c64_fg0e c64_bg06\">\n"
                        "  <div>A&amp;<br></div>\n"
                        "  <div><span class=\" c64_fg06 c64_bg0e\">&nbsp;&lt;B&gt;</span><br></div>\n"
                        "  <div><span class=\" c64_fg0e c64_bg06\">C</span><br></div>\n"
                        "</div>\n</body></html>"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.substr(html.size() - 14), "</body></html>");
    EXPECT_EQ(count(html, "<div"), count(html, "</div>"));
}

TEST(HTMLConverter, FragmentKeepsTheDivs) {
    html_document_options_t options;
    options.fragment = true;
    const std::string html = listing(options);
    EXPECT_EQ(html.rfind("<div class=\"c64_diskname\">", 0), 0u);
    EXPECT_EQ(html.find("<html>"), std::string::npos);
    EXPECT_EQ(html.find("</body>"), std::string::npos);
    EXPECT_EQ(html.substr(html.size() - 7), "</div>\n");
    EXPECT_EQ(count(html, "  <div>"), 3u);
}

TEST(HTMLConverter, LinkedStyleSheet) {
    PetsciiWriter writer;
    HTMLConverter html(&writer, {.fragment = false, .inlineCss = false, .cssFile = "c64\".css"});
    html.writeHeader("G", "t", 1, false);
    const std::string head = writtenText(writer);
    EXPECT_NE(head.find("<title>t</title><link href=\"c64&quot;.css\" rel=\"stylesheet\" type=\"text/css\">\n"
                        "</head><body>\n"),
              std::string::npos);
    EXPECT_EQ(head.find("<style"), std::string::npos);
    EXPECT_EQ(head.find("@font-face"), std::string::npos);
}

TEST(HTMLConverter, DivBookkeeping) {
    PetsciiWriter writer;
    HTMLConverter html(&writer);
    EXPECT_FALSE(html.newline(13));
    EXPECT_EQ(writtenText(writer), "");
    html.writeTitle("t", true);
    writer.clearOutput();
    for (std::uint32_t row = 0; row < 3; ++row) {
        writer.putChar(0, row, 'X', false);
        writer.newline();
    }
    writer.clearOutput();
    html.endText(false);
    EXPECT_EQ(writtenText(writer), "</div>\n");
}

}  // namespace
}  // namespace platter
