#pragma once

#include <string_view>

namespace platter {

// "1!" to "5!" at the start of a zipcode part's file name.
bool isZipcodePartName(std::string_view name);
// The same test on the file-name part of a host path.
bool isZipcodePartPath(std::string_view path);

}  // namespace platter
