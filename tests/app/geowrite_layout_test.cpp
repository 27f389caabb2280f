#include "app/geowrite_layout.hpp"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <sstream>

#include "tests/support/files.hpp"

namespace app {
namespace {

using platter::geowrite_ruler_t;
using platter::GeoWriteDocument;
using Lines = std::vector<std::string>;

geowrite_ruler_t ruler(std::uint16_t left, std::uint16_t right, std::uint16_t paragraph, std::uint8_t justification) {
    geowrite_ruler_t result;
    for (auto [at, value] : {std::pair<std::size_t, std::uint16_t>{0, left}, {2, right}, {20, paragraph}}) {
        result.bytes[at] = static_cast<std::uint8_t>(value);
        result.bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    result.bytes[22] = justification;
    return result;
}

// A version-2 document with the first page number and title-page flag given.
GeoWriteDocument document(std::uint16_t firstPage = 1, bool titlePage = false) {
    GeoWriteDocument result;
    result.setVersion(2, 1);
    const std::array<std::uint8_t, 9> settings{static_cast<std::uint8_t>(firstPage),
                                               static_cast<std::uint8_t>(firstPage >> 8),
                                               static_cast<std::uint8_t>(titlePage ? 0x80 : 0)};
    result.setSettings(settings);
    return result;
}

// A document whose page 0 holds one ruler and then one text.
GeoWriteDocument onePage(const geowrite_ruler_t& rule, const std::string& text, bool titlePage = false) {
    GeoWriteDocument result = document(1, titlePage);
    result.setPage(0);
    result.addRuler(rule);
    result.addText(text);
    result.addEndOfText();
    return result;
}

std::string laidOut(const GeoWriteDocument& doc) {
    std::ostringstream out;
    GeoWriteLayout().print(out, doc);
    return out.str();
}

TEST(GeoWriteLayout, WrapsAtSpacesAndCutsLongWords) {
    const GeoWriteLayout layout;
    EXPECT_EQ(layout.wrapParagraph("aaa bbb ccc", 8), (Lines{"aaa bbb", "ccc"}));
    EXPECT_EQ(layout.wrapParagraph("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
    // Only spaces behind a break: the paragraph ends there.
    EXPECT_EQ(layout.wrapParagraph("aaa      ", 4), (Lines{"aaa"}));
    EXPECT_EQ(layout.wrapParagraph("x", 1), (Lines{"x"}));
}

TEST(GeoWriteLayout, PagesLabelsAndSeparators) {
    GeoWriteDocument doc = document(300);
    doc.setPage(0);
    doc.addText("page zero\r\r");
    doc.addEndOfText();
    doc.setPage(2);
    doc.addRuler(ruler(0, 319, 0, 0));
    doc.addText("two");
    doc.addFont(0x17);
    doc.addText(" joined");
    doc.addBitmap(0);
    doc.addEndOfText();
    // No ruler on page 0: the default is as wide as the page (46 dashes).
    EXPECT_EQ(laidOut(doc),
              "page zero\n\npage: 44\n" + std::string(46, '-') + " {page break}\ntwo joined\n[bitmap]\n\npage: 46\n");
}

TEST(GeoWriteLayout, TitlePageHeaderAndFooter) {
    GeoWriteDocument doc = document(1, true);
    doc.setPage(0);
    doc.addText("Title\r");
    doc.addEndOfText();
    EXPECT_EQ(laidOut(doc), "Title\n");
    doc.setPage(1);
    doc.addText("body\r");
    doc.addEndOfText();
    doc.setPage(GeoWriteDocument::kHeaderPage);
    doc.addText("head\r");
    doc.addEndOfText();
    doc.setPage(GeoWriteDocument::kFooterPage);
    doc.addText("foot\r");
    doc.addEndOfText();
    EXPECT_EQ(laidOut(doc),
              "Title\n" + std::string(46, '-') + " {page break}\n{header}head\n\nbody\n\n{footer}foot\n\npage: 2\n");
}

TEST(GeoWriteLayout, Justification) {
    const auto oneParagraph = [](const geowrite_ruler_t& rule, const std::string& text) {
        return laidOut(onePage(rule, text, true));
    };
    // Columns 2 to 12: ten columns wide. Every spread word keeps a space behind it.
    EXPECT_EQ(oneParagraph(ruler(16, 96, 16, 1), "abcd\r"), "     abcd\n");
    EXPECT_EQ(oneParagraph(ruler(16, 96, 16, 2), "abcd\r"), "        abcd\n");
    EXPECT_EQ(oneParagraph(ruler(16, 96, 16, 3), "ab cd ef\r"), "  ab  cd  ef \n");
    // A repeated last word gets no spread, a single word stays as it is.
    EXPECT_EQ(oneParagraph(ruler(16, 96, 16, 3), "ab ef ef\r"), "  ab  ef ef \n");
    EXPECT_EQ(oneParagraph(ruler(16, 96, 16, 3), "abcd\r"), "  abcd\n");
    // Paragraph margin: the first line indented, under full justification too.
    EXPECT_EQ(oneParagraph(ruler(0, 80, 16, 3), "aa bb cc dd\r"), "  aa    bb \ncc      dd \n");
}

TEST(GeoWriteLayout, MarginsWithoutSoundResults) {
    // Right of the right margin, and a paragraph margin left of the left one.
    const std::string page = laidOut(onePage(ruler(200, 50, 0, 3), "some words here\r"));
    EXPECT_NE(page.find("page: 1"), std::string::npos);
    EXPECT_EQ(page.find("-"), std::string::npos);
}

TEST(GeoWriteLayout, RulerPositionsPastThePageEndAtItsLastPixel) {
    // A left margin of 60000 would put 7500 spaces before every character of the text.
    GeoWriteDocument doc = onePage(ruler(60000, 65535, 60000, 0), "ab\r");
    doc.setPage(1);
    doc.addEndOfText();
    // One column wide at column 79: a character a line.
    const std::string margin(79, ' ');
    EXPECT_EQ(laidOut(doc),
              margin + "a\n" + margin + "b\n\npage: 1\n" + std::string(66, '-') + " {page break}\n\npage: 2\n");
}

// Real pages with their rulers, texts and escapes replaced by noise: every
// layout ends, whatever the margins say.
TEST(GeoWriteLayout, NoisyDocumentsAreLaidOut) {
    const test_support::bytes_t real = test_support::readFixture("geowrite/framed.cvt");
    std::mt19937 random(1571);
    for (int round = 0; round < 200; ++round) {
        test_support::bytes_t noisy = real;
        for (std::size_t at = 762; at < noisy.size(); ++at) {
            if (random() % 8 == 0) noisy[at] = static_cast<std::uint8_t>(random());
        }
        const auto doc = platter::readGeoWrite(noisy);
        ASSERT_TRUE(doc);
        laidOut(*doc);
    }
}

}  // namespace
}  // namespace app
