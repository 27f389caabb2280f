// CSV fields, type names, P00 headers, zipcode part names and partition sizes.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platter/petscii/csv_field.hpp"
#include "platter/petscii/file_type_names.hpp"
#include "platter/petscii/p00_header.hpp"
#include "platter/petscii/partition_size.hpp"
#include "platter/petscii/zipcode_names.hpp"

namespace platter {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(CsvField, QuotesWhenNeeded) {
    EXPECT_EQ(csvQuote("plain"), "plain");
    EXPECT_EQ(csvQuote("a,\"b\""), "\"a,\"\"b\"\"\"");
    EXPECT_EQ(csvQuote("a\"b"), "\"a\"\"b\"");
    EXPECT_EQ(csvQuote("a\r\nb"), "\"a\r\nb\"");
    EXPECT_EQ(csvQuote(""), "");
    EXPECT_EQ(petsciiToCsvField(Bytes{'A', ',', 0xC2}, false), "\"a,B\"");
    EXPECT_EQ(petsciiToCsvField(Bytes{'A', 0x0D}, true), "\"A\r\n\"");
    EXPECT_EQ(hexBytes(Bytes{0x00, 0xAB, 0x7F}), "00ab7f");
}

TEST(FileTypeNames, LettersArkTypesAndTheTextEnd) {
    EXPECT_EQ(fileTypeName1541(0xC4), "REL");  // lock and closed bits ignored
    EXPECT_EQ(fileTypeName1541(14), "L\x7F");  // 0x13 ends the text
    EXPECT_EQ(fileTypeFromLetter('x'), 2);
    EXPECT_EQ(fileTypeFromLetter('s'), 1);
    EXPECT_EQ(fileTypeFromLetter('D'), 0);
    EXPECT_EQ(fileTypeFromLetter('u'), 3);
    EXPECT_EQ(fileTypeFromLetter('R'), 4);
    EXPECT_EQ(fileTypeFromLetter('P'), 2);
    EXPECT_TRUE(isArkFileType(0x74));
    EXPECT_TRUE(isArkFileType(0x80));
    EXPECT_FALSE(isArkFileType(0x75));
    EXPECT_FALSE(isArkFileType(0x94));
    EXPECT_FALSE(isArkFileType(0x64));
}

Bytes entryWith(std::string_view name, std::uint8_t type, std::uint8_t recordLength) {
    Bytes entry(32, 0);
    entry[2] = type;
    std::fill(entry.begin() + 5, entry.begin() + 21, 0xA0);
    std::copy(name.begin(), name.end(), entry.begin() + 5);
    entry[23] = recordLength;
    return entry;
}

TEST(P00Header, LayoutAndTrailingPadding) {
    std::array<std::uint8_t, kP00HeaderSize> header{};
    header.fill(0x55);
    buildP00Header(header, entryWith("AB", 0x82, 0x40));
    const std::array<std::uint8_t, 8> signature{'C', '6', '4', 'F', 'i', 'l', 'e', 0};
    EXPECT_TRUE(std::equal(signature.begin(), signature.end(), header.begin()));
    EXPECT_EQ(header[8], 'A');
    EXPECT_EQ(header[9], 'B');
    for (std::size_t i = 10; i < 24; ++i) EXPECT_EQ(header[i], 0) << i;
    EXPECT_EQ(header[24], 0);
    EXPECT_EQ(header[25], 0);

    buildP00Header(header, entryWith("A\xA0"
                                     "B",
                                     0x84, 0x40));
    EXPECT_EQ(header[9], 0xA0);  // only the trailing run is cleared
    EXPECT_EQ(header[25], 0x40);

    buildP00Header(header, entryWith("ABCDEFGHIJKLMNOP", 0xC1, 0x40));
    EXPECT_EQ(header[23], 'P');
    EXPECT_EQ(header[25], 0);

    buildP00Header(header, Bytes{0, 0, 0x84, 0, 0, 'X'});  // a short entry reads as zeros
    EXPECT_EQ(header[8], 'X');
    EXPECT_EQ(header[9], 0);
}

// Three characters make a part's name ("1!g", as zip writes for the set "g"); "N!!" is the
// six-part prefix, which alone has part 6.
TEST(ZipcodeNames, OneRuleForEveryPartName) {
    const auto part = [](std::string_view name) { return zipcodePartName(name); };
    ASSERT_TRUE(part("1!g"));
    EXPECT_EQ(part("1!g")->number, 1u);
    EXPECT_EQ(part("1!g")->setName, "g");
    EXPECT_FALSE(part("1!g")->sixParts);
    ASSERT_TRUE(part("6!!GAME"));
    EXPECT_EQ(part("6!!GAME")->number, 6u);
    EXPECT_TRUE(part("6!!GAME")->sixParts);
    EXPECT_EQ(part("3!!GAME")->setName, "GAME");
    EXPECT_EQ(part("5!x!y")->setName, "x!y");
    for (const char* name : {"", "1", "1!", "1!!", "6!GAME", "0!GAME", "7!!GAME", "GAME", "!1!x"})
        EXPECT_FALSE(part(name)) << name;
    EXPECT_TRUE(isZip4PartName("5!x"));
    EXPECT_FALSE(isZip4PartName("5!!x"));
}

TEST(PartitionSize, SectorCountIsByteSwapped) {
    EXPECT_EQ(sectorCountBigEndian(512 * 0x010203), 0x03020100u);
    EXPECT_EQ(sectorCountBigEndian(511), 0u);
}

}  // namespace
}  // namespace platter
