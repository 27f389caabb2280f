#include "platter/petscii/byte_readers.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <set>
#include <tuple>
#include <string_view>

#include "platter/petscii/entry_order.hpp"
#include "platter/petscii/petscii_word.hpp"
#include "tests/support/bytes.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Block {
    std::uint64_t sector = 0;
    std::uint64_t track = 0;
    friend auto operator<=>(const Block&, const Block&) = default;
};

TEST(ByteReaders, ReadLine) {
    const Bytes data = test_support::text("AB\r\rC");
    std::size_t cursor = 0;
    Bytes line;
    EXPECT_EQ(readLine(line, data, cursor), 1);
    EXPECT_EQ(line, test_support::text("AB"));
    EXPECT_EQ(cursor, 2u);
    ++cursor;
    line.clear();
    EXPECT_EQ(readLine(line, data, cursor), 0);
    ++cursor;
    EXPECT_EQ(readLine(line, data, cursor), -1);
    EXPECT_EQ(cursor, data.size());
    EXPECT_EQ(readLine(line, data, cursor), -1);
}

TEST(ByteReaders, SkipPast) {
    const Bytes data = test_support::text("ab\rc");
    std::size_t cursor = 0;
    EXPECT_EQ(skipPast('\r', data, cursor), 1);
    EXPECT_EQ(cursor, 3u);
    EXPECT_EQ(skipPast('\r', data, cursor), -1);
    EXPECT_EQ(cursor, 4u);
}

// {result, value, cursor} of one readNumber from the start of the text.
std::tuple<int, std::uint32_t, std::size_t> readNumberOf(std::string_view text) {
    std::uint32_t value = 7;
    std::size_t cursor = 0;
    const int result = readNumber(value, test_support::text(text), cursor);
    return {result, value, cursor};
}

TEST(ByteReaders, ReadNumber) {
    EXPECT_EQ(readNumberOf("  12\r"), std::make_tuple(1, 12u, 4u));
    EXPECT_EQ(readNumberOf("  "), std::make_tuple(-1, 0u, 2u));
    EXPECT_EQ(readNumberOf("  x"), std::make_tuple(0, 0u, 2u));
    EXPECT_EQ(readNumberOf("12"), std::make_tuple(-1, 0u, 2u));
    EXPECT_EQ(readNumberOf("4294967295 "), std::make_tuple(1, 4294967295u, 10u));
    EXPECT_EQ(readNumberOf("99999999999999999999999 "), std::make_tuple(1, 0u, 23u));
}

TEST(ByteReaders, ReadVarint) {
    std::size_t cursor = 0;
    const Bytes data{0x81, 0x00, 0x7F, 0x80};
    EXPECT_EQ(readVarint(data, cursor), 128u);
    EXPECT_EQ(readVarint(data, cursor), 127u);
    EXPECT_EQ(readVarint(data, cursor), std::nullopt);  // the data ends inside a number
    EXPECT_EQ(cursor, data.size());
    cursor = 0;
    const Bytes tooLong(11, 0x80);
    EXPECT_EQ(readVarint(tooLong, cursor), std::nullopt);
    EXPECT_LE(cursor, 10u);
    cursor = 0;
    Bytes largest(9, 0xFF);
    largest.insert(largest.begin(), 0x81);
    largest.back() = 0x7F;
    EXPECT_EQ(readVarint(largest, cursor), 0xFFFFFFFFFFFFFFFFull);
    cursor = 0;
    largest[0] = 0x82;  // one bit more than 64
    EXPECT_EQ(readVarint(largest, cursor), std::nullopt);
}

TEST(ByteReaders, ByteAtAndPutByte) {
    const Bytes data{1, 2};
    EXPECT_EQ(byteAt(data, 1), 2);
    EXPECT_EQ(byteAt(data, 2), 0);
    EXPECT_EQ(byteAt({}, 0), 0);

    Bytes buffer;
    std::size_t cursor = 0;
    EXPECT_TRUE(putByte(0xAA, cursor, buffer, 0));
    EXPECT_TRUE(putByte(0xBB, cursor, buffer, 4));
    EXPECT_TRUE(putByte(0xCC, cursor, buffer, 4));
    EXPECT_EQ(cursor, 3u);
    EXPECT_GE(buffer.size(), 3u);
    EXPECT_EQ(buffer[0], 0xAA);
    EXPECT_EQ(buffer[2], 0xCC);
}

TEST(PetsciiWord, Measure) {
    auto measure = [](std::string_view text, bool raw = false) {
        return measurePetsciiWord(test_support::text(text), raw);
    };
    EXPECT_EQ(measure("WORD REST").length, 4u);
    EXPECT_EQ(measure("WORD REST").printable, 4u);
    EXPECT_EQ(measure(" X").length, 1u);
    EXPECT_EQ(measure("\x1dX").length, 1u);
    EXPECT_EQ(measure("\x9dX").length, 1u);
    EXPECT_EQ(measure("\rX").length, 0u);
    EXPECT_EQ(measure("\x8dX").printable, 0u);
    const auto coloured = measure("AB\x1c\x05 C");
    EXPECT_EQ(coloured.length, 2u);
    EXPECT_EQ(coloured.printable, 2u);
    EXPECT_EQ(measure("AB\x1c\x05 C", true).length, 4u);
    const auto quoted = measure("\"\x1c\" X");
    EXPECT_EQ(quoted.length, 3u);
    EXPECT_EQ(quoted.printable, 3u);
    const auto onlyControls = measure("\x1c\x05 X");
    EXPECT_EQ(onlyControls.length, 2u);
    EXPECT_EQ(onlyControls.printable, 0u);
    EXPECT_EQ(measure("").length, 0u);
}

TEST(EntryOrder, KeysAndComparisons) {
    Bytes a(32, 0), b(32, 0);
    a[5] = 'B';
    b[5] = 'A';
    EXPECT_EQ(compareFirstNameByte(a, b), 1);
    a[30] = 0x00, a[31] = 0x01;  // 256 blocks
    b[30] = 0xFF;                // 255 blocks
    EXPECT_TRUE(bySize(b, a));
    EXPECT_FALSE(bySize(a, b));
    // T64 entries: start at 2-3, end at 4-5.
    Bytes t1{1, 0x82, 0x01, 0x08, 0x00, 0x10}, t2{1, 0x82, 0x00, 0xC0, 0x01, 0xC0};
    EXPECT_TRUE(byTapeLength(t2, t1));
    EXPECT_FALSE(byTapeLength(t1, t2));
    std::set<Block> visited{Block{1, 18}};
    EXPECT_TRUE(containsBlock(visited, Block{1, 18}));
    EXPECT_FALSE(containsBlock(visited, Block{2, 18}));
}

}  // namespace
}  // namespace platter
