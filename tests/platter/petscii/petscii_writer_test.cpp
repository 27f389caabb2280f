#include "platter/petscii/petscii_writer.hpp"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>

#include "platter/petscii/palette.hpp"

namespace platter {
namespace {

constexpr forge::rgb_t kWhite{0xFF, 0xFF, 0xFF};
constexpr forge::rgb_t kRed{0x68, 0x2C, 0x2B};
constexpr forge::rgb_t kBlue{0x35, 0x28, 0x79};
constexpr forge::rgb_t kLightBlue{0x6C, 0x5E, 0xB5};

// Logs the calls the writer makes on its head.
class RecordingConverter final : public Converter {
public:
    using Converter::Converter;
    void put(std::uint16_t code) override { log += "put " + std::to_string(code) + ";"; }
    void setAttributes(std::uint64_t first, std::uint64_t second, bool forced) override {
        log += "attr " + std::to_string(first) + "," + std::to_string(second) + (forced ? "!" : "") + ";";
    }
    void beginLine(std::uint8_t first) override { log += "begin " + std::to_string(first) + ";"; }
    bool newline(std::uint8_t c) override {
        log += "newline " + std::to_string(c) + ";";
        return true;
    }
    std::string log;
};

forge::rgb_t pixelAt(const forge::raster_image_t& canvas, std::uint32_t x, std::uint32_t y) {
    const std::uint8_t* p = &canvas.pixels[y * canvas.rowIncrement + x * canvas.bytesPerPixel];
    return canvas.channelOrder == forge::raster_image_t::kRgb ? forge::rgb_t{p[0], p[1], p[2]}
                                                              : forge::rgb_t{p[2], p[1], p[0]};
}

TEST(PetsciiWriter, CallsTheHeadInOrder) {
    PetsciiWriter writer;
    RecordingConverter recorder(&writer);
    writer.putChar(0, 0, 'A', false);
    writer.putChar(1, 0, 'B', false);
    writer.putChar(2, 0, 'C', true);  // reverse swaps the colour indices
    EXPECT_EQ(recorder.log, "begin 65;attr 14,6;put 65;put 66;attr 6,14;put 67;");

    // A CR ends the line unless it comes in reverse.
    recorder.log.clear();
    writer.putChar(3, 0, 13, true);
    writer.putChar(4, 0, 13, false);
    writer.putChar(0, 1, 'D', false);
    EXPECT_EQ(recorder.log, "put 13;newline 13;begin 68;put 68;");
}

TEST(PetsciiWriter, CarriageReturnModePutsLineEnds) {
    PetsciiWriter writer;
    RecordingConverter recorder(&writer);
    writer.setCarriageReturnMode(true);
    writer.putChar(0, 0, 13, true);
    writer.newline();
    EXPECT_EQ(recorder.log, "begin 13;newline 13;begin 13;newline 13;");
}

TEST(PetsciiWriter, RawModeOnlyStores) {
    PetsciiWriter writer;
    RecordingConverter recorder(&writer);
    std::array<std::uint8_t, 3> raw{};
    writer.setRawBuffer(raw);
    writer.write(0, 0, "ABCD", false);
    EXPECT_EQ(writer.rawCount(), 3u);
    EXPECT_EQ(raw, (std::array<std::uint8_t, 3>{'A', 'B', 'C'}));
    EXPECT_EQ(recorder.log, "");
    EXPECT_TRUE(writer.output().empty());
}

TEST(PetsciiWriter, InverseColouring) {
    PetsciiWriter writer;
    RecordingConverter recorder(&writer);
    writer.setInverse(true);
    EXPECT_EQ(writer.background(), kWhite);
    writer.setForeground(kRed);
    EXPECT_EQ(writer.foreground(), kLightBlue);
    writer.putChar(0, 0, 'A', false);
    writer.setInverse(false);
    EXPECT_EQ(writer.background(), kBlue);
    writer.putChar(1, 0, 'A', false);
    EXPECT_EQ(recorder.log, "begin 65;attr 14,1;put 65;attr 14,6;put 65;");
}

TEST(PetsciiWriter, ClearOutputStartsANewDocument) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    Converter base(&writer);
    writer.putChar(0, 0, 'A', false);
    writer.setSpanOpen(true);
    writer.clearOutput();
    EXPECT_TRUE(writer.output().empty());
    EXPECT_FALSE(writer.spanOpen());
    writer.putChar(1, 0, 'B', false);
    EXPECT_EQ(writer.output(), std::vector<std::uint8_t>{'B'});
}

TEST(PetsciiWriter, SetOutputReplacesTheOutput) {
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    Converter base(&writer);
    writer.putChar(0, 0, 'A', false);
    writer.setOutput(std::vector<std::uint8_t>{'X', 'Y'});
    writer.putChar(1, 0, 'B', false);
    EXPECT_EQ(writer.output(), (std::vector<std::uint8_t>{'X', 'Y', 'B'}));
}

TEST(PetsciiWriter, SetConverterSwapsTheHeadWithoutLinking) {
    PetsciiWriter writer;
    Converter* const embedded = writer.head();
    RecordingConverter linked(&writer);
    {
        RecordingConverter swapped;
        EXPECT_EQ(writer.setConverter(&swapped), &linked);
        writer.putChar(0, 0, 'A', false);
        EXPECT_EQ(swapped.log, "begin 65;attr 14,6;put 65;");
        EXPECT_EQ(writer.setConverter(&linked), &swapped);
        writer.putChar(1, 0, 'B', false);
        EXPECT_EQ(linked.log, "put 66;");
        // Not linked: destroying it while it is the head restores nothing,
        // and the embedded converter takes over.
        writer.setConverter(&swapped);
    }
    EXPECT_EQ(writer.head(), embedded);
    writer.setConverter(&linked);
    EXPECT_EQ(writer.setConverter(nullptr), &linked);
    writer.putChar(2, 0, 'C', false);
    writer.newline();
    EXPECT_EQ(linked.log, "put 66;");
}

TEST(PetsciiWriter, SetConverterTakesAConverterFromAnotherWriter) {
    auto first = std::make_unique<PetsciiWriter>();
    PetsciiWriter second;
    RecordingConverter converter(first.get());
    second.setConverter(&converter);
    EXPECT_NE(first->head(), &converter);  // the first writer lost it
    second.putChar(0, 0, 'A', false);
    EXPECT_EQ(converter.log, "begin 65;attr 14,6;put 65;");
    first.reset();  // the converter is the second writer's now
    second.putChar(1, 0, 'B', false);
    EXPECT_EQ(converter.log, "begin 65;attr 14,6;put 65;put 66;");
}

TEST(PetsciiWriter, SetConverterOutlivedByItsConverter) {
    RecordingConverter converter;
    {
        PetsciiWriter writer;
        writer.setConverter(&converter);
        writer.putChar(0, 0, 'A', false);
    }
    EXPECT_EQ(converter.log, "begin 65;attr 14,6;put 65;");  // and its destructor must not reach the writer
}

class CanvasWriter : public ::testing::Test {
protected:
    // 'A' at cell (0, 0) of a 40 x 20 canvas: every pixel outside the cell
    // at (2, 2) stays black, inside are both text and background colours.
    void expectOnlyCellPainted(const forge::raster_image_t& canvas) {
        bool text = false;
        bool background = false;
        for (std::uint32_t y = 0; y < canvas.height; ++y) {
            for (std::uint32_t x = 0; x < canvas.width; ++x) {
                const forge::rgb_t pixel = pixelAt(canvas, x, y);
                if (x < 2 || x >= 10 || y < 2 || y >= 10) {
                    ASSERT_EQ(pixel, forge::rgb_t{}) << x << "," << y;
                } else {
                    ASSERT_TRUE(pixel == kLightBlue || pixel == kBlue) << x << "," << y;
                    text |= pixel == kLightBlue;
                    background |= pixel == kBlue;
                }
            }
        }
        EXPECT_TRUE(text);
        EXPECT_TRUE(background);
    }
};

TEST_F(CanvasWriter, DrawsAGlyphInsideItsCell) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.putChar(0, 0, 'A', false);
    expectOnlyCellPainted(canvas);

    forge::raster_image_t bgr = forge::raster_image_t::black(40, 20);
    bgr.channelOrder = forge::raster_image_t::kBgr;
    PetsciiWriter bgrWriter(&bgr, 8, 8, Charset::upperGraphics);
    bgrWriter.putChar(0, 0, 'A', false);
    expectOnlyCellPainted(bgr);
    EXPECT_EQ(bgr.pixels[2 * bgr.rowIncrement + 2 * 3], kBlue.blue);

    // A copy draws with the same font.
    forge::raster_image_t copied = forge::raster_image_t::black(40, 20);
    const PetsciiWriter original(&copied, 8, 8, Charset::upperGraphics);
    PetsciiWriter copy(original);
    copy.putChar(0, 0, 'A', false);
    EXPECT_EQ(copied.pixels, canvas.pixels);
}

TEST_F(CanvasWriter, ClipsCellsAtAndBeyondTheEdge) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.putChar(4, 1, 0xA0, true);  // a solid block from x 34 and y 10, cut at 40 and 20
    EXPECT_EQ(pixelAt(canvas, 39, 17), kLightBlue);
    EXPECT_EQ(pixelAt(canvas, 33, 17), forge::rgb_t{});
    // Positions whose pixel offsets would wrap a 32-bit value draw nothing.
    const std::vector<std::uint8_t> before = canvas.pixels;
    writer.putChar(0xFFFFFFFE, 0, 'A', false);
    writer.putChar(0, 0x20000000, 'A', false);
    writer.putChar(PetsciiWriter::kNoPosition, PetsciiWriter::kNoPosition, 'A', false);
    EXPECT_EQ(canvas.pixels, before);
}

TEST_F(CanvasWriter, ClearFillsWithTheBackground) {
    forge::raster_image_t canvas = forge::raster_image_t::black(5, 3);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.setInverse(true);
    writer.clear();
    for (std::uint32_t y = 0; y < 3; ++y) {
        for (std::uint32_t x = 0; x < 5; ++x) EXPECT_EQ(pixelAt(canvas, x, y), kWhite);
    }
}

TEST_F(CanvasWriter, OffsetMovesCellZero) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.setOffset(3, 1);
    writer.putChar(0, 0, 0xA0, true);  // a solid cell from (5, 3)
    EXPECT_EQ(pixelAt(canvas, 5, 3), kLightBlue);
    EXPECT_EQ(pixelAt(canvas, 12, 10), kLightBlue);
    EXPECT_EQ(pixelAt(canvas, 4, 3), forge::rgb_t{});
    EXPECT_EQ(pixelAt(canvas, 13, 10), forge::rgb_t{});
    writer.setOffset(-2, -2);
    writer.putChar(0, 0, 0xA0, true);
    EXPECT_EQ(pixelAt(canvas, 0, 0), kLightBlue);
}

TEST_F(CanvasWriter, ScaleEnlargesCellsAndGlyphs) {
    forge::raster_image_t scaledCanvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter scaled(&scaledCanvas, 8, 8, Charset::upperGraphics);
    scaled.setScale(2);
    EXPECT_EQ(scaled.cellWidth(), 16u);
    EXPECT_EQ(scaled.cellHeight(), 16u);
    scaled.write(0, 0, "AB", false);
    forge::raster_image_t largeCanvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter large(&largeCanvas, 16, 16, Charset::upperGraphics);
    large.write(0, 0, "AB", false);
    EXPECT_EQ(scaledCanvas.pixels, largeCanvas.pixels);

    // A copy keeps the size it scales from; a new cell size keeps the scale.
    PetsciiWriter copy(scaled);
    copy.setScale(3);
    EXPECT_EQ(copy.cellHeight(), 24u);
    copy.setCellSize(4, 5);
    EXPECT_EQ(copy.cellWidth(), 12u);
    EXPECT_EQ(copy.cellHeight(), 15u);
}

TEST_F(CanvasWriter, ClipWindowKeepsTheRestUntouched) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.setClipWindow({6, 4, 10, 100});
    writer.clear();
    writer.write(0, 0, "\xa0\xa0\xa0", true);
    for (std::uint32_t y = 0; y < 20; ++y) {
        for (std::uint32_t x = 0; x < 40; ++x) {
            const bool inside = x >= 6 && x < 16 && y >= 4;
            const forge::rgb_t expected = !inside ? forge::rgb_t{} : (y < 10 && x >= 2) ? kLightBlue : kBlue;
            ASSERT_EQ(pixelAt(canvas, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(CanvasWriter, LoadFontKeepsTheWriterDrawing) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    EXPECT_TRUE(writer.loadFont());
    writer.putChar(0, 0, 'A', false);
    expectOnlyCellPainted(canvas);
}

TEST_F(CanvasWriter, WithoutAHeadGlyphsAreStillDrawn) {
    forge::raster_image_t canvas = forge::raster_image_t::black(40, 20);
    PetsciiWriter writer(&canvas, 8, 8, Charset::upperGraphics);
    writer.setConverter(nullptr);
    writer.putChar(0, 0, 'A', false);
    expectOnlyCellPainted(canvas);
    EXPECT_TRUE(writer.output().empty());
}

}  // namespace
}  // namespace platter
