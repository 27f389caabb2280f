#pragma once
// Sub-command option parser: a tree of parsers, one per command word, each with
// option groups, a usage text, positional arguments and collected errors.

#include "forge/getopt_option.hpp"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace forge::getopt {

class Getopt;

// Name of the group that addOption (option) appends to.
extern const std::string g_default_group_name;

struct command_t {
    std::string name;
    std::string description;
    std::unique_ptr<Getopt> parser;
    bool hidden = false;
};

struct option_group_t {
    std::string name;
    std::string title;  // empty: no heading in the help
    std::vector<Option*> options;
};

class Getopt {
public:
    Getopt();
    ~Getopt();
    Getopt(const Getopt&) = delete;
    Getopt& operator=(const Getopt&) = delete;

    // Appends a sub-command and returns its (empty) parser.
    Getopt& addCommand(std::string name, std::string description, bool hidden = false);
    // Stores the usage synopsis without one leading "\n"; an empty text changes nothing.
    void setUsage(const std::string& text);
    void setProgramName(std::string name) { programName_ = std::move(name); }
    const std::string& programName() const { return programName_; }

    // The option is not owned; it may be added to several parsers.
    Getopt& addOption(Option& option);
    Getopt& addOption(const std::string& group_name, Option& option);
    option_group_t& addGroup(std::string name, std::string title);

    // Parses argv[1..]; every problem becomes one line of the error text.
    void parse(int argc, const char* const* argv);

    const command_t* selectedCommand() const { return selected_; }
    // Of the innermost selected parser.
    const std::vector<std::string>& positionalArguments() const;
    std::string errorText() const;

    // Help and usage printers; program references use the invocation word.
    void printHelp(std::ostream& out) const;
    void printGroup(const Getopt& node, std::ostream& out, const option_group_t& group) const;
    void printUsage(std::ostream& out) const;
    void printShortUsage(std::ostream& out) const;
    void printTryHelp(std::ostream& out) const;

private:
    const Getopt& innermost() const;
    option_group_t* findGroup(const std::string& name);
    Option* findOption(const std::string& name) const;
    // False when the last option still lacks its required argument.
    bool parseWords(int argc, const char* const* argv);
    void parseLongOption(const std::string& word);
    void parseShortBundle(const std::string& word);
    bool recordOption(const std::string& name);
    void acceptArgument(const std::string& text);
    void addError(const std::string& text);
    void applyDefaults();

    std::vector<command_t> commands_;
    std::vector<option_group_t> groups_;
    std::string usage_;
    std::string programName_;
    std::string invocationWord_;
    std::uint64_t optionColumnWidth_ = 0;
    std::uint64_t commandColumnWidth_ = 0;
    std::string currentWord_;
    const command_t* selected_ = nullptr;
    std::vector<std::string> positional_;
    std::optional<std::string> errorText_;
    Option* waiting_ = nullptr;  // the option that may take the next word as argument
};

}  // namespace forge::getopt
