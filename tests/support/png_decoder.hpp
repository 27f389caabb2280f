#pragma once
// Test support: decodes PNG files with Python's zlib, a decoder independent of the writer under test.

#include <cstdint>
#include <string>
#include <vector>

namespace test_support {

struct decoded_png_t {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;  // empty when the file decoded
};

// Checks every chunk CRC and decodes 8-bit palette, RGB or RGBA images
// (with any row filter) into RGB triples. Needs /usr/bin/python3.
decoded_png_t decodePng(const std::vector<std::uint8_t>& png);

}  // namespace test_support
