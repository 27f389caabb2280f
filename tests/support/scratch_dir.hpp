#pragma once
// Test support: a fresh directory of its own for each test, so that tests running
// in parallel never share a file name. Removed with the object.

#include <filesystem>
#include <string>

#include "tests/support/files.hpp"

namespace test_support {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    // Writes the bytes to the named file (folders created as needed) and returns its path.
    std::filesystem::path write(const std::string& name, const bytes_t& bytes) const;
    // Copies a fixture below tests/data into the directory under the given name.
    std::filesystem::path copyFixture(const std::string& relative, const std::string& name) const;

private:
    std::filesystem::path path_;
};

}  // namespace test_support
