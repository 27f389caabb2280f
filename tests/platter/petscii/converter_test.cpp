#include "platter/petscii/converter.hpp"

#include <gtest/gtest.h>

#include "platter/petscii/palette.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/petscii/text_converters.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

PetsciiWriter textWriter(Charset charset = Charset::upperGraphics) { return PetsciiWriter(nullptr, 8, 8, charset); }

TEST(Converter, BasePassesPetsciiWithColourAndReverseCodes) {
    PetsciiWriter writer = textWriter();
    Converter base(&writer);
    writer.putChar(0, 0, 'A', false);
    writer.setForeground(g_default_palette.colour(2));
    writer.putChar(1, 0, 'B', false);
    writer.putChar(2, 0, 'C', true);
    writer.putChar(3, 0, 'D', false);
    base.endText(false);
    // Light blue is told first, then red; reverse on and off; the text ends with CR.
    EXPECT_EQ(writer.output(), (Bytes{154, 'A', 28, 'B', 18, 'C', 146, 'D', 13}));
}

TEST(Converter, ChainRestoresThePreviousHead) {
    PetsciiWriter writer = textWriter();
    Converter* embedded = writer.head();
    ASSERT_NE(dynamic_cast<EliteConverter*>(embedded), nullptr);
    {
        Converter a(&writer);
        {
            SEQConverter b(&writer);
            EXPECT_EQ(writer.head(), &b);
        }
        EXPECT_EQ(writer.head(), &a);
    }
    EXPECT_EQ(writer.head(), embedded);

    // Attached later, and destroyed out of order: the chain stays whole.
    auto a = std::make_unique<AsciiConverter>();
    auto b = std::make_unique<AsciiConverter>();
    a->attach(&writer);
    b->attach(&writer);
    a.reset();
    EXPECT_EQ(writer.head(), b.get());
    b.reset();
    EXPECT_EQ(writer.head(), embedded);
}

TEST(Converter, OutlivingItsWriterIsHarmless) {
    auto writer = std::make_unique<PetsciiWriter>();
    AsciiConverter ascii(writer.get());
    writer.reset();  // the converter's destructor must not reach the writer
}

TEST(EliteConverter, MarksReverseChangesBeforeTheCode) {
    PetsciiWriter writer = textWriter();
    writer.putChar(0, 0, 'A', false);
    writer.putChar(1, 0, 'A', true);
    writer.putChar(2, 0, 'B', true);
    writer.putChar(3, 0, 'B', false);
    // No PETSCII colour bytes slip into the two-byte stream.
    EXPECT_EQ(writer.output(), (Bytes{0x41, 0xE0, 0x00, 18, 0x41, 0xE2, 0x42, 0xE2, 0x00, 146, 0x42, 0xE0}));
}

TEST(UnicodeConverter, Utf16LittleEndianWithCrLf) {
    for (const auto& [charset, letter] : {std::pair{Charset::upperGraphics, 0x41}, {Charset::lowerUpper, 0x61}}) {
        PetsciiWriter writer = textWriter(charset);
        UnicodeConverter unicode(&writer);
        writer.setForeground(g_default_palette.colour(2));
        writer.putChar(0, 0, 0x41, false);
        writer.putChar(1, 0, 13, false);
        writer.newline();
        EXPECT_EQ(writer.output(), (Bytes{static_cast<std::uint8_t>(letter), 0, 0x0D, 0, 0x0A, 0, 0x0D, 0, 0x0A, 0}));
    }
}

TEST(AsciiConverter, KeepsTheLastByteAtACell) {
    PetsciiWriter writer = textWriter(Charset::lowerUpper);
    AsciiConverter ascii(&writer);
    writer.putChar(0, 0, 0x41, false);
    writer.putChar(1, 0, 0xC1, false);
    writer.putChar(2, 0, 13, false);  // CR LF as text: one cell keeps the LF
    writer.putChar(PetsciiWriter::kNoPosition, PetsciiWriter::kNoPosition, 13, false);
    writer.newline();
    EXPECT_EQ(writer.output(), (Bytes{'a', 'A', '\n', '\r', '\n', '\r'}));
}

TEST(SEQConverter, ReverseCodesButNoColours) {
    PetsciiWriter writer = textWriter();
    SEQConverter seq(&writer);
    writer.write(0, 0, "AB", true);
    writer.setForeground(g_default_palette.colour(2));
    writer.putChar(2, 0, 'C', false);
    writer.newline();
    seq.endText(false);
    EXPECT_EQ(writer.output(), (Bytes{18, 'A', 'B', 146, 'C', 13, 13}));
}

}  // namespace
}  // namespace platter
