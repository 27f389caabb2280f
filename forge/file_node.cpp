#include "forge/file_node.hpp"

#include <sys/stat.h>

#include "forge/files.hpp"

namespace forge {

bool isNode(mode_t mode) { return !S_ISREG(mode) && !S_ISDIR(mode); }

bool isNode(const std::filesystem::path& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && isNode(status.st_mode);
}

bool namesNoFileOfItsOwn(const std::string& path) { return isNode(path) || namesOpenDescriptor(path); }

}  // namespace forge
