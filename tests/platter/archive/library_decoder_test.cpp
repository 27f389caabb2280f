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
    EXPECT_EQ(decodeLibrary(std::string("DWB 0 \r\0\0\0", 10)).result, import_result_t::done);
}

TEST(LibraryDecoder, EveryMisplacedByteFails) {
    EXPECT_EQ(decodeLibrary("DWB 1\rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DXB 1 \rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rSEVENTEEN LETTERS\rS\r 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rNAME\rSX 3 \rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 1 \rNAME\rS\r 3\rABC").result, import_result_t::damaged);
    EXPECT_EQ(decodeLibrary("DWB 999999 \rNAME\rS\r 3 \rABC").result, import_result_t::damaged);
}

// Every file the directory lists is handed on: one the archive ends inside with what there
// is, those after it empty; bytes that no length accounts for are named.
TEST(LibraryDecoder, LengthsThatDoNotFitTheDataAreNamed) {
    auto run = decodeLibrary("DWB 3 \rFIRST\rP\r 3 \rSECOND\rP\r 3 \rTHIRD\rP\r 1 \rABCDE");
    EXPECT_EQ(run.result, import_result_t::partial);
    ASSERT_EQ(run.entries.size(), 3u);
    EXPECT_FALSE(run.entries[0].loss);
    EXPECT_EQ(run.entries[1].data, text("DE"));
    EXPECT_EQ(run.entries[1].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, 3}));
    EXPECT_TRUE(run.entries[2].data.empty());
    EXPECT_EQ(run.entries[2].loss, (entry_loss_t{entry_loss_t::cause::archiveEnds, 1}));

    run = decodeLibrary("DWB 1 \rFIRST\rP\r 3 \rABCDE");
    EXPECT_EQ(run.result, import_result_t::partial);
    EXPECT_EQ(run.entries.at(0).data, text("ABC"));
    EXPECT_EQ(run.notes, std::vector<std::string>{"2 bytes after the last file belong to no file; they were left out"});
}

}  // namespace
}  // namespace platter::test
