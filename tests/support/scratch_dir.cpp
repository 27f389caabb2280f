#include "tests/support/scratch_dir.hpp"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace test_support {

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zt-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir::write(const std::string& name, const bytes_t& bytes) const {
    const std::filesystem::path target = path_ / name;
    std::filesystem::create_directories(target.parent_path());
    writeBytes(target, bytes);
    return target;
}

std::filesystem::path ScratchDir::copyFixture(const std::string& relative, const std::string& name) const {
    return write(name, readFixture(relative));
}

}  // namespace test_support
