#include "platter/fileid/identify.hpp"

#include <gtest/gtest.h>

#include <random>

#include "platter/fileid/file_type_table.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::bytes;
using test_support::put;
using test_support::text;

using fileid_test::Types;
using fileid_test::typesOf;

TEST(Identify, TinyFilesEndAtTheErrorRecord) {
    EXPECT_EQ(typesOf(identify(Bytes{})), Types{type_id::file_empty});
    EXPECT_EQ(typesOf(identify(bytes(1))), Types{type_id::file_too_small});
    EXPECT_EQ(typesOf(identify(text("ab"))), Types{type_id::file_too_small});
    EXPECT_EQ(identify(bytes(2)).front().score, 100u);
    const auto unknown = identify(Bytes{0, 1, 2});
    ASSERT_EQ(typesOf(unknown), Types{type_id::unknown});
    EXPECT_EQ(unknown.front().score, 0u);
    EXPECT_TRUE(unknown.front().metadata.empty());
}

TEST(Identify, ImagesEndTheWalk) {
    // Zeros would be nothing at all without the D64 record.
    EXPECT_EQ(typesOf(identify(bytes(174848))), Types{type_id::d64_35});
    EXPECT_EQ(typesOf(identify(bytes(174849))), Types{type_id::unknown});
    // Text that happens to have an image's size is still the image.
    auto lines = bytes(174848, 'a');
    for (std::size_t i = 40; i < lines.size(); i += 41) lines[i] = '\n';
    EXPECT_EQ(typesOf(identify(lines)), Types{type_id::d64_35});
}

TEST(Identify, TextClassifierOnlyRunsWhenNothingElseMatched) {
    EXPECT_EQ(typesOf(identify(text("hello\nworld\n"))), Types{type_id::unix_text});
    // A PC64 file is final, so its readable name never makes it text.
    auto p00 = bytes(40, 'A');
    put(p00, 0, std::string_view("C64File\0", 8));
    EXPECT_EQ(typesOf(identify(p00)), Types{type_id::pc64});
}

TEST(Identify, TruncatedD64Boundaries) {
    auto image = bytes(91648);
    put(image, 0x16504, {21, 0xFF, 0xFF, 0x1F});
    EXPECT_EQ(typesOf(identify(image)), Types{type_id::d64_truncated});
    image.pop_back();  // one byte short of the header block's end
    EXPECT_NE(identify(image).front().type, type_id::d64_truncated);
}

TEST(IdentifyAs, ErrorsComeFirst) {
    EXPECT_EQ(typesOf(identifyAs(Bytes{}, type_id::geo_convert)), Types{type_id::file_empty});
    EXPECT_EQ(typesOf(identifyAs(bytes(2), 999)), Types{type_id::file_too_small});
    EXPECT_EQ(typesOf(identifyAs(bytes(3), 999)), Types{type_id::error});
    EXPECT_EQ(typesOf(identifyAs(bytes(3), type_id::unknown)), Types{type_id::error});
}

TEST(IdentifyAs, OneDetectorWithoutSizeLimits) {
    // Outside the walk the size filter is bypassed: the D64 detector itself refuses.
    EXPECT_EQ(typesOf(identifyAs(bytes(100), type_id::d64)), Types{type_id::unknown});
    EXPECT_EQ(typesOf(identifyAs(bytes(174848), type_id::d64_40)), Types{type_id::d64_35});
    // The NIB detector needs its version byte even when called on a short file.
    EXPECT_EQ(typesOf(identifyAs(text("MNIB-1541-RAW"), type_id::nib)), Types{type_id::unknown});
    EXPECT_EQ(typesOf(identifyAs(text("GCR-1541"), type_id::g64)), Types{type_id::g64});
    EXPECT_EQ(typesOf(identifyAs(bytes(100), type_id::geo_convert)), Types{type_id::unknown});
}

TEST(IdentifyAs, AllDescendantsRunsTheFamilyDetectorForEachId) {
    // The NIB record and its three variants: four runs of one detector.
    auto nib = bytes(300);
    put(nib, 0, "MNIB-1541-RAW");
    nib[13] = 2;
    EXPECT_EQ(typesOf(identifyAs(nib, type_id::nib, true)), (Types{30, 30, 30, 30}));
    EXPECT_EQ(typesOf(identifyAs(bytes(300), type_id::nib, true)), Types{type_id::unknown});
    EXPECT_EQ(typesOf(identifyAs(bytes(300), 999, true)), Types{type_id::unknown});
}

TEST(HasType, LooksAtEveryResult) {
    EXPECT_TRUE(hasType(bytes(196608), type_id::d64_40));
    EXPECT_FALSE(hasType(bytes(196608), type_id::d64));
    EXPECT_TRUE(hasType(Bytes{}, type_id::file_empty));
}

// Every detector of the table must stay inside the data whatever it is given,
// outside the walk too (the sanitizer build catches a stray read).
TEST(Detectors, StayInsideShortAndHostileData) {
    std::mt19937 random(1541);
    for (std::size_t size = 0; size <= 1024; ++size) {
        Bytes noise(size);
        for (auto& byte : noise) byte = static_cast<std::uint8_t>(random());
        const Bytes ones(size, 0xFF);
        for (const auto& record : g_file_types) {
            if (record.detector == nullptr) continue;
            // Each vector is copied to an exactly sized heap block so overreads are seen.
            const auto a = record.detector(Bytes(noise));
            const auto b = record.detector(Bytes(ones));
            EXPECT_LE(a.score, 100u);
            EXPECT_LE(b.score, 100u);
        }
        EXPECT_FALSE(identify(noise).empty());
    }
}

}  // namespace
}  // namespace platter::fileid
