#pragma once
// Numbers given to options: a number too large for its field is refused, never cut to its
// low bits.

#include <cstdint>
#include <optional>

#include "app/options.hpp"
#include "app/reporter.hpp"

namespace app {

// Track and sector numbers, indices and counts are 16-bit.
inline constexpr std::uint64_t kMaxOptionNumber = 0xFFFF;

// The option's number when it lies in 0..maximum; otherwise the error
// "<option> must be an integer from 0 to <maximum> (found: '<text>')" and none.
std::optional<std::uint64_t> optionNumber(const Option& option, std::uint64_t maximum, Reporter& reporter);

}  // namespace app
