#include "platter/fileid/program_detectors.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::bytes;
using test_support::put;

// A one-line program at the load address: 10 PRINT.
Bytes oneLine(std::uint16_t load) {
    const auto next = static_cast<std::uint16_t>(load + 6);
    return Bytes{static_cast<std::uint8_t>(load),
                 static_cast<std::uint8_t>(load >> 8),
                 static_cast<std::uint8_t>(next),
                 static_cast<std::uint8_t>(next >> 8),
                 10,
                 0,
                 0x99,
                 0,
                 0,
                 0};
}

TEST(Basic, MachinesByLoadAddress) {
    EXPECT_EQ(describe(oneLine(0x0401)), "BASIC v4.0 {pet; 1 line}");
    EXPECT_EQ(describe(oneLine(0x0801)), "BASIC v2.0 {c64; 1 line}");
    EXPECT_EQ(describe(oneLine(0x1001)), "BASIC v2.0 {vic-20; 1 line}");
    EXPECT_EQ(describe(oneLine(0x1C01)), "BASIC v7.0 {c128; 1 line}");
    EXPECT_EQ(describe(oneLine(0x4001)), "BASIC v3.5 {c264; 1 line}");
    const file_traits_t elsewhere = detectBasic(oneLine(0x2001));
    EXPECT_EQ(elsewhere.type, type_id::basic);
    EXPECT_EQ(elsewhere.score, 75u);
    EXPECT_EQ(detectBasic(oneLine(0x0801)).score, 100u);
    // Byte 0 must be 1, and the first link close behind the load address.
    EXPECT_EQ(detectBasic(oneLine(0x0400)).type, type_id::unknown);
    Bytes farLink = oneLine(0x0801);
    put(farLink, 2, {0x05, 0x09});
    farLink.resize(400);
    EXPECT_EQ(detectBasic(farLink).type, type_id::unknown);
    // The 16-bit end address wraps: no BASIC, no crash.
    Bytes wrapped = oneLine(0xFF01);
    wrapped.resize(1000);
    EXPECT_EQ(detectBasic(wrapped).type, type_id::unknown);
}

TEST(Basic, ProgramsFromCc65AndAcme) {
    EXPECT_EQ(describe(test_support::readFixture("fileid/stub.prg")), "BASIC v2.0 {c64; 1 line}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/stub_vic20.prg")), "BASIC v2.0 {vic-20; 1 line}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/stub_pet.prg")), "BASIC v4.0 {pet; 1 line}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/stub_c128.prg")), "BASIC v7.0 {c128; 1 line}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/hello.prg")), "BASIC v2.0 {c64; 2 lines}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/hello2001.prg")), "BASIC {2 lines}");
    EXPECT_EQ(describe(test_support::readFixture("fileid/hello4001.prg")), "BASIC v3.5 {c264; 2 lines}");
}

TEST(Sidplayer, ThreeVoicesEndingInTheirCommand) {
    // Voices of 4, 6 and 2 bytes behind the 8-byte header, each ending 01 'O'.
    Bytes tune = bytes(30);
    put(tune, 2, {4, 0, 6, 0, 2, 0});
    put(tune, 10, {0x01, 'O'});
    put(tune, 16, {0x01, 'O'});
    put(tune, 18, {0x01, 'O'});
    EXPECT_EQ(describe(tune), "Sidplayer");
    tune.resize(19);
    EXPECT_EQ(detectSidplayer(tune).type, type_id::unknown);
    EXPECT_EQ(detectSidplayer(Bytes{0, 0, 0, 0, 0, 0, 0}).type, type_id::unknown);
    // Lengths that point far past the end are refused before anything is read.
    EXPECT_EQ(detectSidplayer(Bytes{0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 1, 'O'}).type, type_id::unknown);
}

TEST(TurboAssembler, WorkspaceAddressPlacesTheName) {
    // The workspace address puts the 37100 marker at offset 252, the first tested.
    const std::uint16_t workspace = 37100 - 252;
    Bytes source = bytes(1024);
    put(source, 20, {static_cast<std::uint8_t>(workspace), static_cast<std::uint8_t>(workspace >> 8)});
    put(source, 252, "TURBO");
    EXPECT_EQ(detectTurboAssembler(source).type, type_id::turbo_assembler);
    EXPECT_EQ(describe(source), "Turbo Assembler source");
    put(source, 252, "MARCO");
    EXPECT_EQ(detectTurboAssembler(source).type, type_id::turbo_assembler_variant2);
    // One further on and the offset falls below 252: not tested.
    put(source, 20, {static_cast<std::uint8_t>(workspace + 1), static_cast<std::uint8_t>((workspace + 1) >> 8)});
    put(source, 251, "TURBO");
    EXPECT_EQ(detectTurboAssembler(source).type, type_id::unknown);
    // The macro assembler's marker is tried first when several are present.
    source = bytes(8000);
    const std::uint16_t low = 30000;
    put(source, 20, {static_cast<std::uint8_t>(low), static_cast<std::uint8_t>(low >> 8)});
    put(source, 37100 - low, "TURBO");
    put(source, 33004 - low, "TURBO");
    EXPECT_EQ(detectTurboAssembler(source).type, type_id::turbo_assembler_macro);
}

// A character set at $3000 with an empty space and clean "I" and "O" glyphs.
Bytes charset() {
    Bytes set = bytes(2049);
    put(set, 0, {0x00, 0x30});
    put(set, 2 + 9 * 8, {0x3C, 0x18, 0x18, 0x18, 0x18, 0x18, 0x3C, 0x00});
    put(set, 2 + 15 * 8, {0x3C, 0x66, 0x66, 0x66, 0x66, 0x66, 0x3C, 0x00});
    for (std::size_t i = 2 + 65 * 8; i < set.size(); ++i) set[i] = static_cast<std::uint8_t>(i * 7);
    for (std::size_t i = 258; i < 266; ++i) set[i] = 0;
    return set;
}

TEST(Charset, GradedByTheGlyphsOfIAndO) {
    EXPECT_EQ(detectCharset(charset()).score, 100u);
    EXPECT_EQ(describe(charset()), "character set (1x1)");
    Bytes brokenO = charset();
    brokenO[2 + 15 * 8 + 1] = 0x6A;  // three runs of set bits
    EXPECT_EQ(detectCharset(brokenO).score, 80u);
    brokenO[2 + 9 * 8 + 1] = 0x19;  // a row of "I" ending in a set bit
    EXPECT_EQ(detectCharset(brokenO).score, 60u);
    Bytes space = charset();
    space[260] = 0x10;
    EXPECT_EQ(detectCharset(space).type, type_id::unknown);
    Bytes odd = charset();
    odd[1] = 0x31;
    EXPECT_EQ(detectCharset(odd).type, type_id::unknown);
    for (std::size_t size : {std::size_t{2047}, std::size_t{2051}}) {
        Bytes resized = charset();
        resized.resize(size);
        EXPECT_EQ(detectCharset(resized).type, type_id::unknown) << size;
    }
}

}  // namespace
}  // namespace platter::fileid
