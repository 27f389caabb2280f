#include "platter/core/cbm_wildcard.hpp"

#include <algorithm>

namespace platter {
namespace {

constexpr std::uint8_t kPad = 0xA0;

bool endsPattern(std::uint8_t c) { return c == 0 || c == kPad; }

bool wildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name) {
    for (std::size_t i = 0;; ++i) {
        if (i >= name.size()) {
            // The name ended: only '*' and '?' may be left of the pattern.
            for (std::size_t j = i; j < pattern.size() && !endsPattern(pattern[j]); ++j) {
                if (pattern[j] != '*' && pattern[j] != '?') return false;
            }
            return true;
        }
        if (i >= pattern.size()) return false;
        const std::uint8_t c = pattern[i];
        if (c == '*') {
            if (i + 1 == pattern.size() || endsPattern(pattern[i + 1])) return true;
            for (std::size_t k = i; k < name.size(); ++k) {
                if (wildcardMatch(pattern.subspan(i + 1), name.subspan(k))) return true;
            }
            return false;
        }
        if (c != '?' && c != name[i]) return false;
    }
}

}  // namespace

bool cbmWildcardMatch(std::span<const std::uint8_t> pattern, std::span<const std::uint8_t> name) {
    const auto nameEnd = std::find(name.begin(), name.end(), kPad);
    return wildcardMatch(pattern, name.first(static_cast<std::size_t>(nameEnd - name.begin())));
}

}  // namespace platter
