#include "app/image_target.hpp"

#include "forge/file_node.hpp"
#include "forge/files.hpp"

namespace app {

image_target_t imageTarget(const std::string& named, std::string_view extension) {
    image_target_t target{named, forge::isStandardOutput(named)};
    if (forge::fileExtension(named).empty() && !target.toStandardOutput && !forge::namesNoFileOfItsOwn(named))
        target.path += "." + std::string(extension);
    return target;
}

}  // namespace app
