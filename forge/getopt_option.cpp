#include "forge/getopt_option.hpp"

#include "forge/failure.hpp"

namespace forge::getopt {

std::string Option::value(std::size_t index) const {
    if (index >= values_.size()) throwFailure(displayName() + " has no value " + std::to_string(index));
    return values_[index];
}

void Option::reset() {
    matchedName_.clear();
    values_.clear();
}

std::string Option::matchedName() const { return (matchedName_.size() < 2 ? "-" : "--") + matchedName_; }

std::string Option::displayName() const {
    if (shortLetter_ != 0 && !longName_.empty()) return shortForm() + "/" + longForm();
    return shortLetter_ != 0 ? shortForm() : longForm();
}

std::string Option::shortForm() const { return shortLetter_ != 0 ? std::string{'-', shortLetter_} : std::string(); }

std::string Option::longForm() const { return longName_.empty() ? std::string() : "--" + std::string(longName_); }

bool Option::isValidChoice(const std::string& text) const {
    for (const std::string_view choice : choices_) {
        if (text == choice) return true;
        if (choice.starts_with('^') && text == choice.substr(1)) return true;
    }
    return false;
}

}  // namespace forge::getopt
