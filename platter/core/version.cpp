#include "platter/core/version.hpp"

namespace platter {

std::string version() { return "4.0.0-12"; }

}  // namespace platter
