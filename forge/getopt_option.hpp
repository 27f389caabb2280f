#pragma once
// One command-line option: how it is spelled, what argument it takes, and what
// the parser found for it.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace forge::getopt {

class Getopt;

// Argument kinds given to Option::argument; the kind mask has bit (1 << kind).
enum argument_kind : unsigned {
    kArgInteger = 0,
    kArgText = 1,
    kArgList = 2,  // comma-separated; the parts become separate values
};

inline constexpr unsigned kMaskInteger = 1u << kArgInteger;
inline constexpr unsigned kMaskText = 1u << kArgText;
inline constexpr unsigned kMaskList = 1u << kArgList;

class Option {
public:
    // The texts an option is built from are the program's constants: they are viewed, never
    // copied, so that the options are built at compile time.
    constexpr Option(char short_letter, std::string_view long_name, std::string_view help)
        : shortLetter_(short_letter), longName_(long_name), help_(help) {}

    // Builders; each returns the option so that calls chain.
    constexpr Option& hidden() {
        hidden_ = true;
        return *this;
    }
    constexpr Option& choices(std::span<const std::string_view> texts) {
        choices_ = texts;
        return *this;
    }
    // Required argument of one kind.
    constexpr Option& argument(std::string_view name, unsigned kind) {
        argumentName_ = name;
        argumentRequired_ = true;
        kindMask_ = kindBit(kind);
        return *this;
    }
    // Argument of either kind; stays optional unless requireArgument is called.
    constexpr Option& argument(std::string_view name, unsigned kind1, unsigned kind2) {
        argumentName_ = name;
        kindMask_ = kindBit(kind1) | kindBit(kind2);
        return *this;
    }
    constexpr Option& requireArgument() {
        argumentRequired_ = true;
        return *this;
    }
    constexpr Option& optionalArgument() {
        argumentRequired_ = false;
        return *this;
    }
    constexpr Option& repeatable() {
        repeatable_ = true;
        return *this;
    }
    constexpr Option& standalone() {
        standalone_ = true;
        return *this;
    }
    constexpr Option& defaultValue(std::string_view text) {
        defaultValue_ = text;
        return *this;
    }

    bool isSet() const { return !matchedName_.empty(); }
    // The i-th value; an index past the end raises forge::Failure.
    std::string value(std::size_t index) const;
    const std::vector<std::string>& values() const { return values_; }
    // Occurrences of a repeatable option (0 for any other).
    std::uint64_t count() const { return count_; }
    // Unsets the option; the count and the word it was found in are kept.
    void reset();

    // The spelling the user wrote: "-v" or "--verbose".
    std::string matchedName() const;
    // "-x/--name", "-x", "--name" or empty.
    std::string displayName() const;
    std::string shortForm() const;
    std::string longForm() const;

    char shortLetter() const { return shortLetter_; }
    std::string_view longName() const { return longName_; }
    std::string_view help() const { return help_; }
    std::string_view argumentName() const { return argumentName_; }
    unsigned kindMask() const { return kindMask_; }
    bool takesArgument() const { return kindMask_ != 0; }
    bool isList() const { return (kindMask_ & kMaskList) != 0; }
    bool isArgumentRequired() const { return argumentRequired_; }
    bool isRepeatable() const { return repeatable_; }
    bool isStandalone() const { return standalone_; }
    bool isHidden() const { return hidden_; }
    bool hasChoices() const { return !choices_.empty(); }
    std::span<const std::string_view> choiceList() const { return choices_; }
    // The text equals a choice, or a "^" choice with or without its "^".
    bool isValidChoice(const std::string& text) const;

private:
    friend class Getopt;  // records what parsing finds

    static constexpr unsigned kindBit(unsigned kind) { return kind <= kArgList ? 1u << kind : 0u; }

    std::string matchedName_;
    std::string foundInWord_;
    std::vector<std::string> values_;
    std::uint64_t count_ = 0;

    char shortLetter_ = 0;
    std::string_view longName_;
    std::string_view help_;
    std::string_view argumentName_;
    unsigned kindMask_ = 0;
    std::string_view defaultValue_;
    bool argumentRequired_ = false;
    bool repeatable_ = false;
    bool standalone_ = false;
    bool hidden_ = false;
    std::span<const std::string_view> choices_;
};

}  // namespace forge::getopt
