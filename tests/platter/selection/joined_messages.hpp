#pragma once
// Test side: the messages a selection gave, run together for one comparison.

#include <string>
#include <vector>

namespace test_support {

inline std::string joined(const std::vector<std::string>& messages) {
    std::string out;
    for (const std::string& m : messages) out += m;
    return out;
}

}  // namespace test_support
