#include "platter/petscii/rtf_converter.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/petscii/petscii_writer.hpp"
#include "tests/platter/petscii/written_text.hpp"

namespace platter {
namespace {

using test_support::writtenText;

TEST(RTFConverter, HeaderWithOneFont) {
    PetsciiWriter writer;
    RTFConverter rtf(&writer);
    rtf.writeHeader("Tomekeeper", "ignored", 1, true);
    EXPECT_EQ(writtenText(writer),
              "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Tessel Mono;}}"
              "{\\*\\generator Tomekeeper;}\\viewkind4\\uc1\\pard\\sl240\\slmult1\\f0\\fs24 ");
    writer.clearOutput();
    rtf.writeHeader("G", "", 0, true);
    EXPECT_NE(writtenText(writer).find("{\\f1\\froman\\fprq2\\fcharset0 Times New Roman;}}"), std::string::npos);
}

TEST(RTFConverter, EscapesControlWordsAndUnicode) {
    PetsciiWriter writer;
    RTFConverter rtf(&writer);
    for (const int code : {int{'A'}, int{'\\'}, int{'{'}, int{'}'}, 0xA3, 0xE041})
        rtf.put(static_cast<std::uint16_t>(code));
    // Values above 32767 are written as RTF's signed 16-bit numbers.
    EXPECT_EQ(writtenText(writer), "A\\\\\\{\\}\\u0163?\\u-8127?");
}

TEST(RTFConverter, TitlesAreUtf8AndBalanced) {
    PetsciiWriter writer;
    RTFConverter rtf(&writer);
    rtf.writeTitle("a{b}\xc3\xa9.d64", false);
    EXPECT_EQ(writtenText(writer), "a\\{b\\}\\u0233?.d64\\par\r\n");
    writer.clearOutput();
    rtf.writeTitle("anything", true);
    EXPECT_EQ(writtenText(writer), "");
}

TEST(RTFConverter, LinesAndTheDocumentEnd) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    RTFConverter rtf(&writer);
    writer.write(0, 0, "A", false);
    writer.newline();
    writer.putChar(0, 1, 0xD3, false);  // the heart of the graphics set
    rtf.endText(false);
    rtf.writeFooter();
    EXPECT_EQ(writer.output(), (std::vector<std::uint8_t>{'A', '\\', 'p', 'a',  'r', '\r', '\n', '\\', 'u', '9', '8',
                                                          '2', '9',  '?', '\\', 'p', 'a',  'r',  '\r', '}', 0}));
}

}  // namespace
}  // namespace platter
