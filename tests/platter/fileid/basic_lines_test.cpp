#include "platter/fileid/basic_lines.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;

// A tokenised program at `load` with one line per entry of `lineLengths`
// (bytes of text per line), ended by the 0 0 marker.
Bytes program(std::uint16_t load, std::initializer_list<std::size_t> lineLengths) {
    Bytes data{static_cast<std::uint8_t>(load), static_cast<std::uint8_t>(load >> 8)};
    std::uint32_t address = load;
    std::uint32_t number = 10;
    for (std::size_t length : lineLengths) {
        const std::uint32_t next = address + 4 + static_cast<std::uint32_t>(length) + 1;
        for (std::uint32_t byte : {next & 0xFFu, next >> 8, number & 0xFFu, number >> 8u})
            data.push_back(static_cast<std::uint8_t>(byte));
        data.insert(data.end(), length, 0x99);
        data.push_back(0);
        address = next;
        number += 10;
    }
    data.push_back(0);
    data.push_back(0);
    return data;
}

TEST(CountBasicLines, CountsEveryLineButNotTheEndMarker) {
    EXPECT_EQ(countBasicLines(program(0x0801, {5}), 0), 1u);
    EXPECT_EQ(countBasicLines(program(0x0801, {5, 3}), 0), 2u);
    EXPECT_EQ(countBasicLines(program(0x1C01, {5, 3, 250, 1}), 0x1C01), 4u);
    // Machine code after a one-line SYS stub stays out of the count.
    Bytes stub = program(0x0801, {6});
    stub.insert(stub.end(), 500, 0xEA);
    EXPECT_EQ(countBasicLines(stub, 0), 1u);
}

Bytes fixture(const char* name) {
    return test_support::readFixture(std::string("fileid/") + name);
}

TEST(CountBasicLines, ProgramsFromRealTools) {
    EXPECT_EQ(countBasicLines(fixture("hello.prg"), 0x0801), 2u);  // acme
    EXPECT_EQ(countBasicLines(fixture("stub.prg"), 0x0801), 1u);   // cc65's SYS line
}

TEST(CountBasicLines, RefusesWhatIsNoProgram) {
    EXPECT_EQ(countBasicLines(program(0x0801, {5}), 0x1001), 0u);  // other load address
    EXPECT_EQ(countBasicLines(program(0x0400, {5}), 0), 0u);       // below 1025
    EXPECT_EQ(countBasicLines(Bytes{0x01, 0x08, 0x06, 0x08}, 0), 0u);
    auto farLink = program(0x0801, {5});
    farLink[3] = 0x0A;  // first line more than 258 bytes long
    EXPECT_EQ(countBasicLines(farLink, 0), 0u);
    // Near the top of memory the end address wraps: never a program.
    Bytes wrap = program(0xFF01, {5});
    wrap.resize(400, 0);
    EXPECT_EQ(countBasicLines(wrap, 0), 0u);
}

TEST(CountBasicLines, StopsAtABrokenChain) {
    auto backwards = program(0x0801, {5, 3, 3});
    backwards[12] = 0x01;  // line 2 links back to the start
    backwards[13] = 0x08;
    EXPECT_EQ(countBasicLines(backwards, 0), 2u);
    auto unterminated = program(0x0801, {5, 3});
    unterminated[11] = 0x20;  // line 1 does not end with a 0 byte
    EXPECT_EQ(countBasicLines(unterminated, 0), 1u);
    // Cut-off files count what their links still reach, reading nothing past the end.
    auto cut = program(0x0801, {5, 3});
    cut.resize(14);
    EXPECT_EQ(countBasicLines(cut, 0), 2u);
    cut.resize(13);
    EXPECT_EQ(countBasicLines(cut, 0), 0u);
}

}  // namespace
}  // namespace platter::fileid
