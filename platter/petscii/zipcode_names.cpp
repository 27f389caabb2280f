#include "platter/petscii/zipcode_names.hpp"

#include "forge/paths.hpp"

namespace platter {

bool isZipcodePartName(std::string_view name) {
    return name.size() >= 2 && name[0] >= '1' && name[0] <= '5' && name[1] == '!';
}

bool isZipcodePartPath(std::string_view path) { return isZipcodePartName(forge::fileName(path)); }

}  // namespace platter
