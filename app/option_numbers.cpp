#include "app/option_numbers.hpp"

#include "forge/numbers.hpp"

namespace app {

std::optional<std::uint64_t> optionNumber(const Option& option, std::uint64_t maximum, Reporter& reporter) {
    const std::string text = option.value(0);
    const std::int64_t value = forge::parseNumber(text);
    if (value >= 0 && static_cast<std::uint64_t>(value) <= maximum) return static_cast<std::uint64_t>(value);
    reporter.error(
        option.matchedName() + " must be an integer from 0 to " + std::to_string(maximum) + " (found: '" + text + "')",
        Reporter::kNever);
    return std::nullopt;
}

}  // namespace app
