#pragma once
// One command-line option: how it is spelled, what argument it takes, and what
// the parser found for it.

#include <cstdint>
#include <string>
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
    Option(char short_letter, std::string long_name, std::string help);

    // Builders; each returns the option so that calls chain.
    Option& hidden();
    Option& choice(std::string text);
    Option& choices(const std::vector<std::string>& texts);
    // Required argument of one kind.
    Option& argument(std::string name, unsigned kind);
    // Argument of either kind; stays optional unless requireArgument is called.
    Option& argument(std::string name, unsigned kind1, unsigned kind2);
    Option& requireArgument();
    Option& optionalArgument();
    Option& repeatable();
    Option& standalone();
    Option& defaultValue(std::string text);

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
    const std::string& longName() const { return longName_; }
    const std::string& help() const { return help_; }
    const std::string& argumentName() const { return argumentName_; }
    unsigned kindMask() const { return kindMask_; }
    bool takesArgument() const { return kindMask_ != 0; }
    bool isList() const { return (kindMask_ & kMaskList) != 0; }
    bool isArgumentRequired() const { return argumentRequired_; }
    bool isRepeatable() const { return repeatable_; }
    bool isStandalone() const { return standalone_; }
    bool isHidden() const { return hidden_; }
    bool hasChoices() const { return hasChoices_; }
    const std::vector<std::string>& choiceList() const { return choices_; }
    // The text equals a choice, or a "^" choice with or without its "^".
    bool isValidChoice(const std::string& text) const;

private:
    friend class Getopt;  // records what parsing finds

    std::string matchedName_;
    std::string foundInWord_;
    std::vector<std::string> values_;
    std::uint64_t count_ = 0;
    char shortLetter_ = 0;
    std::string longName_;
    std::string help_;
    std::string argumentName_;
    unsigned kindMask_ = 0;
    std::string defaultValue_;
    bool argumentRequired_ = false;
    bool repeatable_ = false;
    bool standalone_ = false;
    bool hidden_ = false;
    bool hasChoices_ = false;
    std::vector<std::string> choices_;
};

}  // namespace forge::getopt
