#pragma once

#include <string>

namespace platter {

// Version text of the disk-image library.
std::string version();

}  // namespace platter
