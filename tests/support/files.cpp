#include "tests/support/files.hpp"

#include <fstream>
#include <iterator>

namespace test_support {

std::filesystem::path fixturePath(const std::string& relative) { return std::filesystem::path(ZT_TEST_DATA) / relative; }

bytes_t readFixture(const std::string& relative) { return readBytes(fixturePath(relative)); }

bytes_t readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const bytes_t& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace test_support
