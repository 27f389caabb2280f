#include "forge/png_writer.hpp"

#include <gtest/gtest.h>

#include <string>

#include "forge/log.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes fromHex(const std::string& hex) {
    Bytes bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

std::uint32_t be32(const Bytes& bytes, std::size_t offset) {
    return std::uint32_t{bytes[offset]} << 24 | std::uint32_t{bytes[offset + 1]} << 16 |
           std::uint32_t{bytes[offset + 2]} << 8 | bytes[offset + 3];
}

struct chunk_t {
    std::string type;
    std::size_t dataOffset;
    std::uint32_t length;
};

std::vector<chunk_t> chunksOf(const Bytes& png) {
    std::vector<chunk_t> chunks;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t length = be32(png, pos);
        chunks.push_back({std::string(reinterpret_cast<const char*>(png.data()) + pos + 4, 4), pos + 8, length});
        pos += 12 + length;
    }
    return chunks;
}

// A picture in which pixel i has colour number i % colours.
Bytes picture(std::uint64_t width, std::uint64_t height, unsigned colours) {
    Bytes rgb;
    for (std::uint64_t i = 0; i < width * height; ++i) {
        const unsigned c = static_cast<unsigned>(i % colours);
        rgb.insert(rgb.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 8),
                               static_cast<std::uint8_t>(255 - (c & 0xFF))});
    }
    return rgb;
}

void expectDecodesTo(const Bytes& png, std::uint64_t width, std::uint64_t height, const Bytes& rgb) {
    if (!test_support::haveProgram("/usr/bin/python3")) {
        GTEST_SKIP() << "no /usr/bin/python3 to decode with";
    }
    const test_support::decoded_png_t decoded = test_support::decodePng(png);
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, width);
    EXPECT_EQ(decoded.height, height);
    EXPECT_TRUE(decoded.rgb == rgb);
}

TEST(RgbToPng, OneBlackPixelIsTheKnownFile) {
    Bytes png{0xAA};
    ASSERT_TRUE(forge::rgbToPng(Bytes{0, 0, 0}, 1, 1, png));
    EXPECT_EQ(png, fromHex("aa89504e470d0a1a0a0000000d4948445200000001000000010803000000"
                           "28cb34bb"
                           "00000003504c5445000000a77a3dda"
                           "0000000d49444154081d010200fdff000000020001cde3d12b"
                           "0000001f74455874536f667477617265006c6962466f7267652076312e302e302f4b6f7272696e55eb5f67"
                           "0000000049454e44ae426082"));
}

TEST(RgbToPng, SoftwareTagReplacesTheLibraryName) {
    const std::string saved = forge::g_png_software_tag;
    forge::g_png_software_tag = "zt v1.7.0/Korrin";
    Bytes png;
    ASSERT_TRUE(forge::rgbToPng(Bytes{1, 2, 3}, 1, 1, png));
    forge::g_png_software_tag = saved;
    const std::string text(png.begin(), png.end());
    EXPECT_NE(text.find(std::string("Software\0zt v1.7.0/Korrin", 25)), std::string::npos);
    EXPECT_EQ(text.find("libForge"), std::string::npos);
    expectDecodesTo(png, 1, 1, Bytes{1, 2, 3});
}

TEST(RgbToPng, PaletteBelow256ColoursTruecolourFrom256) {
    Bytes paletted;
    ASSERT_TRUE(forge::rgbToPng(picture(255, 1, 255), 255, 1, paletted));
    EXPECT_EQ(paletted[25], 3);
    EXPECT_EQ(chunksOf(paletted)[1].type, "PLTE");
    EXPECT_EQ(chunksOf(paletted)[1].length, 255u * 3);
    expectDecodesTo(paletted, 255, 1, picture(255, 1, 255));

    Bytes truecolour;
    ASSERT_TRUE(forge::rgbToPng(picture(16, 16, 256), 16, 16, truecolour));
    EXPECT_EQ(truecolour[25], 2);
    const auto chunks = chunksOf(truecolour);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[1].type, "IDAT");
    expectDecodesTo(truecolour, 16, 16, picture(16, 16, 256));
}

// Block headers of the zlib stream in the IDAT chunk: (final flag, LEN).
std::vector<std::pair<int, unsigned>> storedBlocks(const Bytes& png) {
    std::vector<std::pair<int, unsigned>> blocks;
    for (const chunk_t& chunk : chunksOf(png)) {
        if (chunk.type != "IDAT") {
            continue;
        }
        std::size_t pos = chunk.dataOffset + 2;
        while (pos + 5 <= chunk.dataOffset + chunk.length - 4) {
            const unsigned len = png[pos + 1] | unsigned{png[pos + 2]} << 8;
            const unsigned nlen = png[pos + 3] | unsigned{png[pos + 4]} << 8;
            EXPECT_EQ(len ^ nlen, 0xFFFFu);
            blocks.emplace_back(png[pos], len);
            pos += 5 + len;
        }
    }
    return blocks;
}

TEST(RgbToPng, BlocksHoldWholeRows) {
    // 101 bytes a filtered row: 648 rows to a block.
    Bytes png;
    ASSERT_TRUE(forge::rgbToPng(picture(100, 1296, 16), 100, 1296, png));
    EXPECT_EQ(storedBlocks(png), (std::vector<std::pair<int, unsigned>>{{0, 648 * 101}, {1, 648 * 101}}));
    EXPECT_EQ(chunksOf(png)[2].length, 2u + 5 * 2 + 1296 * 101 + 4);
    EXPECT_EQ(std::string(png.end() - 12, png.end()), std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12));

    png.clear();
    ASSERT_TRUE(forge::rgbToPng(picture(100, 1297, 16), 100, 1297, png));
    EXPECT_EQ(storedBlocks(png), (std::vector<std::pair<int, unsigned>>{{0, 648 * 101}, {0, 648 * 101}, {1, 101}}));
    expectDecodesTo(png, 100, 1297, picture(100, 1297, 16));
}

TEST(RgbToPng, RowsLongerThanABlockAreSplitByBytes) {
    // 66001 filtered bytes a row: more than one stored block can hold.
    const Bytes rgb = picture(22000, 2, 300);
    Bytes png;
    ASSERT_TRUE(forge::rgbToPng(rgb, 22000, 2, png));
    EXPECT_EQ(storedBlocks(png),
              (std::vector<std::pair<int, unsigned>>{{0, 65535}, {0, 65535}, {1, 2 * 66001 - 2 * 65535}}));
    expectDecodesTo(png, 22000, 2, rgb);
}

TEST(RgbToPng, LargerPictureDecodesToItsPixels) {
    const Bytes rgb = picture(320, 200, 16);
    Bytes png;
    ASSERT_TRUE(forge::rgbToPng(rgb, 320, 200, png));
    expectDecodesTo(png, 320, 200, rgb);
    if (test_support::haveProgram("/usr/bin/pngcheck")) {
        test_support::ScratchDir scratch;
        test_support::writeBytes(scratch.file("p.png"), png);
        EXPECT_EQ(test_support::runCommand("/usr/bin/pngcheck -q " + scratch.file("p.png").string()).second, 0);
    }
}

TEST(RgbToPng, RefusesPicturesThatCannotBeWritten) {
    Bytes png{9};
    const Bytes pixel{1, 2, 3};
    EXPECT_FALSE(forge::rgbToPng(pixel, 0, 1, png));
    EXPECT_FALSE(forge::rgbToPng(pixel, 1, 0, png));
    EXPECT_FALSE(forge::rgbToPng(pixel, 0x80000000ull, 1, png));
    EXPECT_FALSE(forge::rgbToPng(pixel, 1, 0x100000001ull, png));
    EXPECT_FALSE(forge::rgbToPng(pixel, 2, 1, png)) << "pixels shorter than the picture";
    EXPECT_FALSE(forge::rgbToPng(pixel, 0x7FFFFFFF, 0x7FFFFFFF, png)) << "sizes that overflow";
    EXPECT_EQ(png, Bytes{9});
}

}  // namespace
