#include "platter/fileid/identification_reads.hpp"

#include <gtest/gtest.h>

#include <random>
#include <string_view>
#include <vector>

#include "platter/fileid/identify.hpp"

namespace platter::fileid {
namespace {

// What identify() says, types and metadata in full, for comparing two files.
std::vector<std::vector<std::uint8_t>> said(std::span<const std::uint8_t> data) {
    std::vector<std::vector<std::uint8_t>> out;
    for (const file_traits_t& traits : identify(data)) {
        out.push_back({static_cast<std::uint8_t>(traits.type), static_cast<std::uint8_t>(traits.type >> 8)});
        for (const file_metadata_t& item : traits.metadata) {
            out.back().push_back(static_cast<std::uint8_t>(item.key));
            out.back().insert(out.back().end(), item.value.begin(), item.value.end());
        }
    }
    return out;
}

TEST(IdentificationReads, IdentifyLooksAtNoOtherByteOfAFixedSizeImage) {
    const std::uint64_t blocks[] = {683, 768, 802, 1366, 3200, 2083, 4166, 3240, 6480, 12960};
    std::mt19937 random(25);
    for (const std::uint64_t count : blocks) {
        for (const std::uint64_t size : {count * 256, count * 257}) {
            const std::vector<byte_range_t> reads = identificationReads(size);
            ASSERT_FALSE(reads.empty()) << size;
            // The same blocks read, the bytes never read as zeros in one file and 0xFF in the other.
            std::vector<std::uint8_t> zeros(size, 0x00);
            std::vector<std::uint8_t> ones(size, 0xFF);
            for (const byte_range_t& range : reads) {
                ASSERT_LE(range.offset + range.length, size);
                for (std::uint64_t at = range.offset; at < range.offset + range.length; ++at)
                    zeros[at] = ones[at] = static_cast<std::uint8_t>(random());
                // A header block with the GEOS signature and the CMD system header's text, so
                // its metadata is looked for too and a CMD image is one.
                constexpr std::string_view kGeos = "GEOS format V1.0";
                constexpr std::string_view kCmd = "CMD FD SERIES   ";
                for (auto* file : {&zeros, &ones}) {
                    if (range.offset == 0) continue;
                    std::copy(kGeos.begin(), kGeos.end(), file->data() + range.offset + 0xAD);
                    std::copy(kCmd.begin(), kCmd.end(), file->data() + range.offset + 240);
                }
            }
            EXPECT_EQ(said(zeros), said(ones)) << size;
        }
    }
    EXPECT_TRUE(identificationReads(174849).empty());
    EXPECT_TRUE(identificationReads(0).empty());
}

}  // namespace
}  // namespace platter::fileid
