#include "forge/getopt_option.hpp"

#include "forge/failure.hpp"

#include <utility>

namespace forge::getopt {

namespace {

unsigned kindBit(unsigned kind) { return kind <= kArgList ? 1u << kind : 0u; }

}  // namespace

Option::Option(char short_letter, std::string long_name, std::string help)
    : shortLetter_(short_letter), longName_(std::move(long_name)), help_(std::move(help)) {}

Option& Option::hidden() {
    hidden_ = true;
    return *this;
}

Option& Option::choice(std::string text) {
    choices_.push_back(std::move(text));
    hasChoices_ = true;
    return *this;
}

Option& Option::choices(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) choice(text);
    return *this;
}

Option& Option::argument(std::string name, unsigned kind) {
    argumentName_ = std::move(name);
    argumentRequired_ = true;
    kindMask_ = kindBit(kind);
    return *this;
}

Option& Option::argument(std::string name, unsigned kind1, unsigned kind2) {
    argumentName_ = std::move(name);
    kindMask_ = kindBit(kind1) | kindBit(kind2);
    return *this;
}

Option& Option::requireArgument() {
    argumentRequired_ = true;
    return *this;
}

Option& Option::optionalArgument() {
    argumentRequired_ = false;
    return *this;
}

Option& Option::repeatable() {
    repeatable_ = true;
    return *this;
}

Option& Option::standalone() {
    standalone_ = true;
    return *this;
}

Option& Option::defaultValue(std::string text) {
    defaultValue_ = std::move(text);
    return *this;
}

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

std::string Option::longForm() const { return longName_.empty() ? std::string() : "--" + longName_; }

bool Option::isValidChoice(const std::string& text) const {
    for (const std::string& choice : choices_) {
        if (text == choice) return true;
        if (choice.starts_with('^') && text == std::string_view(choice).substr(1)) return true;
    }
    return false;
}

}  // namespace forge::getopt
