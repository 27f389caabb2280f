#include "platter/fileid/text_classifier.hpp"

#include <gtest/gtest.h>

#include <string>

#include "platter/fileid/type_ids.hpp"
#include "tests/support/bytes.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::text;

std::uint32_t classify(const Bytes& data) { return detectTextOrData(data).type; }
std::uint32_t classify(const std::string& chars) { return classify(text(chars)); }

// Lines of `width` characters (line end included) up to `size` bytes.
std::string lines(std::size_t size, std::string_view lineEnd, char letter = 'a', std::size_t width = 20) {
    std::string out;
    while (out.size() < size) {
        out.append(width - lineEnd.size(), letter);
        out += lineEnd;
    }
    out.resize(size);
    return out;
}

TEST(TextClassifier, WordsWithoutLineEnds) {
    EXPECT_EQ(classify(std::string("hello")), type_id::unix_text);
    EXPECT_EQ(classify(Bytes{0xC8, 0xC5, 0xCC, 0xCC, 0xCF}), type_id::petscii);
    EXPECT_EQ(classify(Bytes{}), type_id::unknown);
    EXPECT_EQ(detectTextOrData(text("hello")).score, 100u);
}

TEST(TextClassifier, LineEnds) {
    EXPECT_EQ(classify(std::string("hello\nworld\n")), type_id::unix_text);
    EXPECT_EQ(classify(std::string("hello\r\nworld\r\n")), type_id::dos_text);
    EXPECT_EQ(classify(std::string("hello\rworld\r")), type_id::mac_text);
    EXPECT_EQ(classify(std::string("HELLO\rWORLD\r")), type_id::petscii);
    EXPECT_EQ(classify(lines(100, "\r\n")), type_id::dos_text);
    EXPECT_EQ(classify(lines(100, "\n")), type_id::unix_text);
    EXPECT_EQ(classify(lines(100, "\r")), type_id::mac_text);
    EXPECT_EQ(classify(lines(2000, "\n")), type_id::unix_text);
    EXPECT_EQ(classify(lines(2000, "\r\n")), type_id::dos_text);
    EXPECT_EQ(classify(lines(2000, "\r")), type_id::mac_text);
}

TEST(TextClassifier, PetsciiText) {
    Bytes capitals;
    while (capitals.size() < 100) {
        for (int i = 0; i < 19; ++i) capitals.push_back(static_cast<std::uint8_t>(0xC1 + i % 26));
        capitals.push_back(13);
    }
    EXPECT_EQ(classify(capitals), type_id::petscii);
    // A listing full of colour and cursor codes inside quotes is still PETSCII.
    Bytes listing;
    while (listing.size() < 600) {
        for (const int byte : {0x99, 0x22, 0x1C, 0x11, 0x11, 0x12, 0xC8, 0xC9, 0x22, 0x0D}) listing.push_back(static_cast<std::uint8_t>(byte));
    }
    EXPECT_EQ(classify(listing), type_id::petscii);
}

TEST(TextClassifier, BinaryData) {
    Bytes controls(2000, 'a');
    for (std::size_t i = 0; i < controls.size(); i += 7) controls[i] = 1;
    EXPECT_EQ(classify(controls), type_id::unknown);
    EXPECT_EQ(classify(Bytes(2000, 'a')), type_id::unix_text);
    std::string noisy = lines(2000, "\n");
    for (std::size_t i = 3; i < noisy.size(); i += 5) noisy[i] = 2;  // 20 % control bytes
    EXPECT_EQ(classify(noisy), type_id::unknown);
}

// `lines` with `count` control bytes (1) spread over its first lines.
std::string withControls(std::string chars, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) chars[1 + i * 3] = 1;
    return chars;
}

TEST(TextClassifier, ControlBytesInShortFiles) {
    // Two control bytes are tolerated in short DOS and Unix files whatever their share.
    EXPECT_EQ(classify(withControls(lines(30, "\r\n", 'a', 10), 2)), type_id::dos_text);
    EXPECT_EQ(classify(withControls(lines(30, "\n", 'a', 10), 2)), type_id::unix_text);
    // A third makes the share decide: 5 % is too many for DOS or Unix text.
    EXPECT_EQ(classify(withControls(lines(60, "\r\n", 'a', 10), 3)), type_id::text);
    EXPECT_EQ(classify(withControls(lines(60, "\n", 'a', 10), 3)), type_id::text);
    EXPECT_EQ(classify(withControls(lines(79, "\n", 'a', 10), 3)), type_id::unix_text);
    EXPECT_EQ(classify(withControls(lines(100, "\r\n", 'a', 10), 4)), type_id::dos_text);
    EXPECT_EQ(classify(withControls(lines(100, "\r\n", 'a', 10), 6)), type_id::text);
    EXPECT_EQ(classify(withControls(lines(100, "\r\n", 'a', 10), 11)), type_id::unknown);
    EXPECT_EQ(classify(withControls(lines(200, "\n", 'a', 10), 9)), type_id::unix_text);
    EXPECT_EQ(classify(withControls(lines(200, "\n", 'a', 10), 10)), type_id::text);
}

TEST(TextClassifier, CountsLineEndsAndIgnoredBytes) {
    // CR LF counts once; the lone LF after it is a Unix line end.
    EXPECT_EQ(classify(std::string("ab\r\n\ncd\r\n")), type_id::dos_text);
    EXPECT_EQ(classify(std::string("ab\r\n\n\ncd\n")), type_id::unix_text);
    // Tabs and PETSCII colour code 5 are not control bytes.
    EXPECT_EQ(classify(std::string("a\tb\x05"
                                   "c")),
              type_id::unix_text);
    EXPECT_EQ(classify(std::string("a\x01"
                                   "b")),
              type_id::unknown);
}

}  // namespace
}  // namespace platter::fileid
