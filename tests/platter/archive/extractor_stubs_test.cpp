#include "platter/archive/extractor_stubs.hpp"

#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

std::optional<std::size_t> sdaOffset(std::size_t size, std::uint8_t stubByte) {
    bytes_t file(size, 0);
    file[4] = stubByte;
    const auto archive = skipSdaStub(file);
    if (!archive) return std::nullopt;
    return static_cast<std::size_t>(archive->data() - file.data());
}

TEST(ExtractorStubs, SdaStubIsByteFourLessSixBlocks) {
    EXPECT_EQ(sdaOffset(1016, 5), std::nullopt);
    EXPECT_EQ(sdaOffset(1016, 6), 0u);
    EXPECT_EQ(sdaOffset(1016, 9), 762u);
    EXPECT_EQ(sdaOffset(1015, 9), std::nullopt);
    EXPECT_EQ(sdaOffset(2000, 255), std::nullopt);  // a stub longer than the file
}

std::optional<std::size_t> sfxOffset(std::size_t size, std::uint8_t byte103) {
    bytes_t file(size, 0xEA);
    file[103] = byte103;
    const auto archive = skipSfxStub(file);
    if (!archive) return std::nullopt;
    return static_cast<std::size_t>(archive->data() - file.data());
}

// The stubs that lead to an archive are in ArchiveFixtures.SfxStubsLeadToTheSameEntries.
TEST(ExtractorStubs, SfxStubWithoutAnArchiveBehindIt) {
    EXPECT_EQ(sfxOffset(4000, 0x00), std::nullopt);
    // Nothing after the stub the byte names.
    EXPECT_EQ(sfxOffset(3715, 0xCE), std::nullopt);
    EXPECT_EQ(sfxOffset(3721, 0xCE), std::nullopt);
    EXPECT_EQ(sfxOffset(3711, 0xC4), std::nullopt);
    EXPECT_EQ(skipSfxStub(bytes_t(50, 0xCE)), std::nullopt);
}

}  // namespace
}  // namespace platter::test
