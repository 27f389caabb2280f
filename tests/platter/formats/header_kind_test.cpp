#include "platter/formats/header_kind.hpp"

#include <gtest/gtest.h>

#include "tests/support/files.hpp"

namespace platter {
namespace {

using test_support::bytes_t;

bytes_t cut(const char* fixture, std::size_t size) {
    bytes_t bytes = test_support::readFixture(fixture);
    bytes.resize(size);
    return bytes;
}

TEST(HeaderKind, AFileCutToASmallerKindsSizeIsTheKindItsHeaderNames) {
    struct kind_case_t {
        const char* fixture;
        std::size_t size;
        format_id identified;
        format_id named;
        format_id byExtension = format_id::none;
    };
    constexpr kind_case_t kCases[] = {
        {"d71/c.d71", 174848, format_id::d64, format_id::d71},
        {"d71/t.d71", 175531, format_id::d64, format_id::d71},
        {"d71/c.d71", 100000, format_id::d64, format_id::d71},
        {"d64/base.d64", 174848, format_id::d64, format_id::d64},
        {"d64/speed40.d64", 196608, format_id::d64, format_id::d64},
        {"d80/files.d82", 533248, format_id::d80, format_id::d82},
        {"d80/files.d80", 533248, format_id::d80, format_id::d80},
        {"d81/c.d81", 533248, format_id::d80, format_id::d80},
        {"d80/files.d82", 1066496, format_id::d82, format_id::d82},
        // The header block lies past the end: nothing names another kind.
        {"d71/c.d71", 1000, format_id::d64, format_id::d64},
        // No BAM of the identified kind: the kind the extension names, cut.
        {"d81/c.d81", 174848, format_id::d64, format_id::d81, format_id::d81},
        {"d81/c.d81", 533248, format_id::d80, format_id::d81, format_id::d81},
        {"d80/files.d80", 349696, format_id::d71, format_id::d80, format_id::d80},
        {"d80/files.d82", 819200, format_id::d81, format_id::d82, format_id::d82},
        // A CMD image begins with its first partition, here a whole D64.
        {"cmd/k.d1m", 174848, format_id::d64, format_id::d1m, format_id::d1m},
        // A whole image with its BAM stays what it is, whatever its name.
        {"d64/base.d64", 174848, format_id::d64, format_id::d64, format_id::d81},
        {"d80/files.d80", 533248, format_id::d80, format_id::d80, format_id::d82},
    };
    for (const kind_case_t& c : kCases) {
        SCOPED_TRACE(std::string(c.fixture) + " " + std::to_string(c.size));
        EXPECT_EQ(kindNamedByHeader(c.identified, cut(c.fixture, c.size), c.byExtension), c.named);
    }
    // A double-sided flag whose second-side counts are more than a track holds is no 1571's.
    bytes_t flagged = cut("d64/base.d64", 174848);
    flagged[0x16500 + 3] = 0x80;
    EXPECT_EQ(kindNamedByHeader(format_id::d64, flagged), format_id::d71);
    flagged[0x16500 + 0xdd] = 22;
    EXPECT_EQ(kindNamedByHeader(format_id::d64, flagged), format_id::d64);
}

}  // namespace
}  // namespace platter
