#include "platter/petscii/petscii_substitutions.hpp"

namespace platter {

std::vector<petscii_substitution_t> g_petscii_substitutions;
bool g_use_petscii_substitutions = true;

}  // namespace platter
