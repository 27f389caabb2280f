#pragma once
// Test support: reading and writing whole files, and the committed fixtures under tests/data.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

using bytes_t = std::vector<std::uint8_t>;

// A path below tests/data, e.g. fixturePath("d64/base.d64").
std::filesystem::path fixturePath(const std::string& relative);
bytes_t readFixture(const std::string& relative);

bytes_t readBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const bytes_t& bytes);
void writeText(const std::filesystem::path& path, const std::string& text);

}  // namespace test_support
