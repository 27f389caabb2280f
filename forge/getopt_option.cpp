#include "forge/getopt_option.hpp"

#include "forge/failure.hpp"

#include <utility>

namespace forge::getopt {

namespace {

unsigned kindBit(unsigned kind) { return kind <= kArgList ? 1u << kind : 0u; }

}  // namespace

Option::Option(char short_letter, std::string long_name, std::string help)
    : short_letter_(short_letter), long_name_(std::move(long_name)), help_(std::move(help)) {}

Option& Option::hidden() {
    hidden_ = true;
    return *this;
}

Option& Option::choice(std::string text) {
    choices_.push_back(std::move(text));
    has_choices_ = true;
    return *this;
}

Option& Option::choices(const std::vector<std::string>& texts) {
    for (const std::string& text : texts) choice(text);
    return *this;
}

Option& Option::argument(std::string name, unsigned kind) {
    argument_name_ = std::move(name);
    argument_required_ = true;
    kind_mask_ = kindBit(kind);
    return *this;
}

Option& Option::argument(std::string name, unsigned kind1, unsigned kind2) {
    argument_name_ = std::move(name);
    kind_mask_ = kindBit(kind1) | kindBit(kind2);
    return *this;
}

Option& Option::requireArgument() {
    argument_required_ = true;
    return *this;
}

Option& Option::optionalArgument() {
    argument_required_ = false;
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
    default_value_ = std::move(text);
    return *this;
}

std::string Option::value(std::size_t index) const {
    if (index >= values_.size()) throwFailure(displayName() + " has no value " + std::to_string(index));
    return values_[index];
}

void Option::reset() {
    matched_name_.clear();
    values_.clear();
}

std::string Option::matchedName() const { return (matched_name_.size() < 2 ? "-" : "--") + matched_name_; }

std::string Option::displayName() const {
    if (short_letter_ != 0 && !long_name_.empty()) return shortForm() + "/" + longForm();
    return short_letter_ != 0 ? shortForm() : longForm();
}

std::string Option::shortForm() const { return short_letter_ != 0 ? std::string{'-', short_letter_} : std::string(); }

std::string Option::longForm() const { return long_name_.empty() ? std::string() : "--" + long_name_; }

bool Option::isValidChoice(const std::string& text) const {
    for (const std::string& choice : choices_) {
        if (text == choice) return true;
        if (choice.starts_with('^') && text == std::string_view(choice).substr(1)) return true;
    }
    return false;
}

}  // namespace forge::getopt
