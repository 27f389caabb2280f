#pragma once
// Test support: decodes PNG files with Python's zlib, a decoder independent
// of the writer under test, and runs outside tools on scratch files.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace forge_test {

struct decoded_png_t {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    std::vector<std::uint8_t> rgb;
    std::string error;  // empty when the file decoded
};

bool haveProgram(const std::string& path);

// A fresh directory that is removed with the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> readBytes(const std::filesystem::path& path);

// Output and exit status of a shell command.
std::pair<std::string, int> runCommand(const std::string& command);

// Checks every chunk CRC and decodes 8-bit palette, RGB or RGBA images
// (with any row filter) into RGB triples. Needs /usr/bin/python3.
decoded_png_t decodePng(const std::vector<std::uint8_t>& png);

}  // namespace forge_test
