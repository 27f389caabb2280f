#include "platter/archive/zipcode_writer.hpp"

#include <gtest/gtest.h>

#include <random>

#include "platter/formats/disk41.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

using bytes = std::vector<std::uint8_t>;
using parts_t = std::vector<bytes>;

constexpr std::size_t kSize35 = 174848;
constexpr std::size_t kSize40 = 196608;

std::size_t blockIndex(unsigned track, unsigned sector) {
    std::size_t blocks = 0;
    for (unsigned t = 1; t < track; ++t) blocks += Disk41::sectorsOnTrack(t);
    return blocks + sector;
}

parts_t zip(const bytes& content, std::uint64_t tracks = 35, bool perBlock = false,
            const zipcode_zero_fill& zeroFill = {}) {
    test_support::TestImage image = test_support::TestImage::fromBytes(content);
    parts_t parts;
    EXPECT_TRUE(writeZipcode(parts, *image.disk, tracks, zeroFill, perBlock));
    return parts;
}

// A reader of the part format, enough to check what the packer wrote: the
// blocks by index, and the (track, sector) of every record in order.
struct unpacked_t {
    bytes image;
    std::vector<std::pair<unsigned, unsigned>> records;
};

void unpackPart(const bytes& part, unpacked_t& out) {
    std::size_t at = part[0] == 0xFE ? 4 : 2;
    while (part.size() - at >= 3) {
        const unsigned track = part[at] & 63;
        const unsigned sector = part[at + 1];
        const unsigned mode = part[at] >> 6;
        out.records.emplace_back(track, sector);
        auto block = out.image.begin() + static_cast<std::ptrdiff_t>(blockIndex(track, sector) * 256);
        at += 2;
        if (mode == 0) {
            std::copy_n(part.begin() + static_cast<std::ptrdiff_t>(at), 256, block);
            at += 256;
        } else if (mode == 1) {
            std::fill_n(block, 256, part[at++]);
        } else {
            const std::size_t end = at + 2 + part[at];
            const std::uint8_t marker = part[at + 1];
            for (at += 2; at < end;) {
                if (part[at] != marker) {
                    *block++ = part[at++];
                    continue;
                }
                block = std::fill_n(block, part[at + 1], part[at + 2]);
                at += 3;
            }
        }
    }
}

unpacked_t unpack(const parts_t& parts, std::size_t size) {
    unpacked_t out{bytes(size), {}};
    for (const bytes& part : parts) unpackPart(part, out);
    return out;
}

bytes randomImage(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    bytes image(size);
    for (std::uint8_t& byte : image) byte = static_cast<std::uint8_t>(random());
    return image;
}

// Blocks that exercise every record kind and both sides of each limit.
bytes craftedImage() {
    bytes image = randomImage(kSize35, 7);
    const auto block = [&](std::size_t index) { return image.begin() + static_cast<std::ptrdiff_t>(index * 256); };
    for (std::size_t index = 0; index < 683; index += 5) {
        const std::size_t kind = index / 5 % 6;
        for (std::size_t i = 0; i < 256; ++i) {
            std::uint8_t& byte = block(index)[static_cast<std::ptrdiff_t>(i)];
            switch (kind) {
                case 0: byte = static_cast<std::uint8_t>(index); break;                      // uniform
                case 1: byte = static_cast<std::uint8_t>(i); break;                          // every value
                case 2: byte = static_cast<std::uint8_t>(i % 4 == 3 ? 0xF0 : i / 4); break;  // runs of 3
                case 3: byte = static_cast<std::uint8_t>(i % 5 == 4 ? 0xF0 : i / 5); break;  // runs of 4
                case 4: byte = static_cast<std::uint8_t>(i < 250 ? (i % 2 ? 0x80 : 1 + i % 100) : 0x33); break;
                case 5: byte = static_cast<std::uint8_t>(i < 251 ? (i % 2 ? 0x80 : 1 + i % 100) : 0xEE); break;
            }
        }
    }
    std::fill_n(block(100), 255, std::uint8_t{0x21});  // a run of 255
    return image;
}

TEST(ZipcodeWriter, PartsHoldTheirTracksInSectorOrder) {
    const parts_t parts = zip(randomImage(kSize40, 1), 40);
    ASSERT_EQ(parts.size(), 5u);
    EXPECT_EQ((bytes{parts[0].begin(), parts[0].begin() + 4}), (bytes{0xFE, 0x03, 'S', '.'}));
    const std::size_t expected[] = {168, 168, 172, 175, 85};
    const unsigned firstTrack[] = {1, 9, 17, 26, 36};
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (k > 0) {
            EXPECT_EQ((bytes{parts[k].begin(), parts[k].begin() + 2}), (bytes{0x00, 0x04}));
        }
        unpacked_t one{bytes(kSize40), {}};
        unpackPart(parts[k], one);
        ASSERT_EQ(one.records.size(), expected[k]) << "part " << k + 1;
        EXPECT_EQ(one.records.front(), std::make_pair(firstTrack[k], 0u));
        EXPECT_EQ(one.records[1], std::make_pair(firstTrack[k], k < 3 ? 11u : 9u));
    }
}

TEST(ZipcodeWriter, FortyTracksOnlyWhenAskedAndPresent) {
    std::uint64_t tracks = 40;
    test_support::TestImage image = test_support::TestImage::fromBytes(randomImage(kSize35, 2));
    parts_t parts;
    ASSERT_TRUE(writeZipcode(parts, *image.disk, tracks, {}, false));
    EXPECT_EQ(tracks, 35u);
    EXPECT_EQ(parts.size(), 4u);
    EXPECT_EQ(zip(randomImage(kSize40, 2), 35).size(), 4u);  // -4 on a 40-track image
}

TEST(ZipcodeWriter, EveryBlockComesBackUnchanged) {
    for (const bytes& image : {craftedImage(), randomImage(kSize40, 3)}) {
        const std::uint64_t tracks = image.size() == kSize40 ? 40 : 35;
        EXPECT_EQ(unpack(zip(image, tracks), image.size()).image, image);
        EXPECT_EQ(unpack(zip(image, tracks, true), image.size()).image, image);
    }
}

TEST(ZipcodeWriter, ZeroFilledBlocksAreEmptyRecords) {
    const bytes image = randomImage(kSize35, 4);
    const parts_t parts = zip(image, 35, false, [](const track_sector_t& b) { return b == makeBlock(35, 16); });
    const unpacked_t back = unpack(parts, kSize35);
    bytes expected = image;
    std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(blockIndex(35, 16) * 256), 256, std::uint8_t{0});
    EXPECT_EQ(back.image, expected);
    // Second to last on track 35 (..., 7, 16, 8), before one stored record.
    EXPECT_EQ((bytes{parts[3].end() - 3 - 258, parts[3].end() - 258}), (bytes{35 | 0x40, 16, 0}));
}

TEST(ZipcodeWriter, AMissingBlockGivesNoParts) {
    test_support::TestImage image = test_support::TestImage::fromBytes(bytes(kSize35 - 256));
    parts_t parts;
    std::uint64_t tracks = 35;
    EXPECT_FALSE(writeZipcode(parts, *image.disk, tracks, {}, false));
    EXPECT_TRUE(parts.empty());
}

// Compared with disk2zip and zip2disk (cbmconvert), run in a scratch directory.
class ZipcodePeers : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test_support::haveProgram("/usr/bin/disk2zip") || !test_support::haveProgram("/usr/bin/zip2disk"))
            GTEST_SKIP() << "cbmconvert missing";
    }
    bool run(const std::string& command) {
        return test_support::runCommand("cd " + dir_.path().string() + " && " + command).second == 0;
    }
    bytes read(const std::string& name) { return test_support::readBytes(dir_.file(name)); }

    test_support::ScratchDir dir_;
};

TEST_F(ZipcodePeers, PerBlockMarkersMatchDisk2zip) {
    std::vector<bytes> images = {craftedImage(), randomImage(kSize35, 5)};
    for (const char* fixture : {"d64/base.d64", "bam/errors.d64", "d64/speed40.d64"})
        images.push_back(test_support::readFixture(fixture));
    for (std::size_t i = 0; i < images.size(); ++i) {
        dir_.write("t.d64", images[i]);
        ASSERT_TRUE(run("disk2zip -i 532e t.d64 g"));
        const parts_t parts = zip(images[i], 35, true);
        for (std::size_t k = 0; k < 4; ++k)
            EXPECT_EQ(parts[k], read(std::to_string(k + 1) + "!g")) << "image " << i << " part " << k + 1;
    }
}

TEST_F(ZipcodePeers, Zip2diskRestoresTheImage) {
    for (const bytes& image : {craftedImage(), randomImage(kSize35, 6)}) {
        const parts_t parts = zip(image);
        for (std::size_t k = 0; k < parts.size(); ++k) dir_.write(std::to_string(k + 1) + "!g", parts[k]);
        ASSERT_TRUE(run("zip2disk g back.d64"));
        EXPECT_EQ(read("back.d64"), image);
    }
}

}  // namespace
}  // namespace platter
