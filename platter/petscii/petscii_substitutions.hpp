#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platter {

// A host text that replaces one PETSCII code in file-name conversions.
struct petscii_substitution_t {
    std::uint8_t code = 0;
    std::string text;
};

// Library options read by the text conversions (the library options block
// owns the setters): the substitution list, empty by default, and whether
// file-name conversions apply it (on by default).
extern std::vector<petscii_substitution_t> g_petscii_substitutions;
extern bool g_use_petscii_substitutions;

}  // namespace platter
