#include "platter/fileid/bam_entries.hpp"

#include <gtest/gtest.h>

#include "tests/support/bytes.hpp"

namespace platter {
namespace {

using test_support::bytes;
using test_support::put;

TEST(BamEntriesConsistent, CountsMustMatchTheBitmaps) {
    auto block = bytes(256);
    EXPECT_FALSE(bamEntriesConsistent(block, 0xC0, 5));  // only zero entries
    put(block, 0xC0, {17, 0xFF, 0xFF, 0x01});
    EXPECT_TRUE(bamEntriesConsistent(block, 0xC0, 5));
    put(block, 0xC4, {3, 0x03, 0x00, 0x00});  // claims 3 free, 2 bits set
    EXPECT_FALSE(bamEntriesConsistent(block, 0xC0, 5));
    put(block, 0xC4, {0, 0x00, 0x00, 0x01});  // not all zero: the count must agree too
    EXPECT_FALSE(bamEntriesConsistent(block, 0xC0, 5));
    EXPECT_FALSE(bamEntriesConsistent(block, 0xC0, 0));
}

TEST(BamEntriesConsistent, EntriesBeyondTheBlockFail) {
    auto block = bytes(256);
    put(block, 0xFC, {8, 0xFF, 0x00, 0x00});
    EXPECT_TRUE(bamEntriesConsistent(block, 0xFC, 1));
    EXPECT_FALSE(bamEntriesConsistent(block, 0xFC, 2));
    EXPECT_FALSE(bamEntriesConsistent(block, 0x200, 1));
    EXPECT_FALSE(bamEntriesConsistent({}, 0, 1));
}

}  // namespace
}  // namespace platter
