#pragma once
// Where unar and unzip write the image they make, from the name the user gave for it.

#include <string>
#include <string_view>

namespace app {

struct image_target_t {
    std::string path;
    // The image goes to standard output, where a "wrote" line would end up inside it.
    bool toStandardOutput = false;
};

// `named` with "." + `extension` appended when it has no extension, unless it names a device,
// pipe or socket, the file standard output is open on, or a process's descriptor (/dev/fd/3):
// those take the image itself, and nothing is ever made beside them.
image_target_t imageTarget(const std::string& named, std::string_view extension);

}  // namespace app
