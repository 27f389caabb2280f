#include <gtest/gtest.h>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

decoded_t decodeLibrary(std::string_view directory) {
    return runDecoder(text(directory), &ArchiveDecoder::decodeLibrary);
}

TEST(LibraryDecoder, TextDirectoryThenData) {
    const auto run = decodeLibrary("DWB 2 \rFIRST\rS\r 3 \rSECOND\rQ\r 2 \rABCDE");
    EXPECT_EQ(run.result, import_result_t::done);
    ASSERT_EQ(run.entries.size(), 2u);
    EXPECT_EQ(run.entries[0].name, "FIRST");
    EXPECT_EQ(run.entries[0].typeByte, 0x81);
    EXPECT_EQ(run.entries[0].data, text("ABC"));
    EXPECT_EQ(run.entries[1].typeByte, 0x82);  // any other letter: PRG
    EXPECT_EQ(run.entries[1].data, text("DE"));
    EXPECT_EQ(decodeLibrary("DWB 0 \r    ").result, import_result_t::done);
}

TEST(LibraryDecoder, EveryMisplacedByteFails) {
    EXPECT_EQ(decodeLibrary("DWB 1\rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DXB 1 \rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rSEVENTEEN LETTERS\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rNAME\rSX 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rNAME\rS\r 3\rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 999999 \rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
}

TEST(LibraryDecoder, ShortLastFileFailsAfterTheOthers) {
    const auto run = decodeLibrary("DWB 2 \rFIRST\rP\r 3 \rSECOND\rP\r 3 \rABCDE");
    EXPECT_EQ(run.result, import_result_t::damaged);
    EXPECT_EQ(run.entries.size(), 1u);
}

}  // namespace
}  // namespace platter::test
