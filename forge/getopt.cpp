#include "forge/getopt.hpp"

#include "forge/numbers.hpp"

#include <algorithm>

namespace forge::getopt {

const std::string g_default_group_name = "-!def!-";

Getopt::Getopt() = default;
Getopt::~Getopt() = default;

Getopt& Getopt::addCommand(std::string name, std::string description, bool hidden) {
    commandColumnWidth_ = std::max<std::uint64_t>(commandColumnWidth_, name.size());
    commands_.push_back({std::move(name), std::move(description), std::make_unique<Getopt>(), hidden});
    return *commands_.back().parser;
}

void Getopt::setUsage(const std::string& text) {
    if (text.empty()) return;
    usage_ = text.starts_with('\n') ? text.substr(1) : text;
}

Getopt& Getopt::addOption(Option& option) { return addOption(g_default_group_name, option); }

Getopt& Getopt::addOption(const std::string& group_name, Option& option) {
    option_group_t* group = findGroup(group_name);
    if (group == nullptr) group = &addGroup(group_name, "");
    group->options.push_back(&option);
    if (!option.isHidden()) {
        const std::size_t argument = option.argumentName().empty() ? 6 : option.argumentName().size() + 9;
        optionColumnWidth_ = std::max<std::uint64_t>(optionColumnWidth_, option.longForm().size() + argument);
    }
    return *this;
}

option_group_t& Getopt::addGroup(std::string name, std::string title) {
    groups_.push_back({std::move(name), std::move(title), {}});
    return groups_.back();
}

option_group_t* Getopt::findGroup(const std::string& name) {
    auto found = std::find_if(groups_.begin(), groups_.end(), [&](const option_group_t& g) { return g.name == name; });
    return found == groups_.end() ? nullptr : &*found;
}

const Getopt& Getopt::innermost() const {
    const Getopt* node = this;
    while (node->selected_ != nullptr) node = node->selected_->parser.get();
    return *node;
}

const std::vector<std::string>& Getopt::positionalArguments() const { return innermost().positional_; }

std::string Getopt::errorText() const { return innermost().errorText_.value_or(std::string()); }

void Getopt::parse(int argc, const char* const* argv) {
    Getopt* node = this;
    for (;;) {
        node->invocationWord_ = argc > 0 && argv[0] != nullptr ? argv[0] : "";
        if (argc < 2) break;
        // A command word counts only right after the program name or the previous command word.
        auto command = std::find_if(node->commands_.begin(), node->commands_.end(),
                                    [&](const command_t& c) { return c.name == argv[1]; });
        if (command == node->commands_.end()) {
            if (!node->parseWords(argc, argv)) return;  // a missing argument at the end: no defaults
            break;
        }
        node->selected_ = &*command;
        ++argv;
        --argc;
        node = command->parser.get();
    }
    node->applyDefaults();
}

bool Getopt::parseWords(int argc, const char* const* argv) {
    bool end_of_options = false;
    waiting_ = nullptr;
    for (int i = 1; i < argc; ++i) {
        currentWord_ = argv[i] != nullptr ? argv[i] : "";
        const std::string& word = currentWord_;
        if (end_of_options) {
            positional_.push_back(word);
        } else if (word == "-") {
            // "-" names standard input or output; it can never be an option's argument.
            if (waiting_ != nullptr && waiting_->isArgumentRequired())
                addError(waiting_->matchedName() + " must be followed by an argument (found: '-' instead)");
            positional_.push_back(word);
            waiting_ = nullptr;
        } else if (word == "--") {
            end_of_options = true;
        } else if (word.starts_with("--")) {
            parseLongOption(word);
        } else if (word.starts_with('-')) {
            parseShortBundle(word);
        } else if (waiting_ != nullptr && waiting_->takesArgument()) {
            acceptArgument(word);
        } else {
            positional_.push_back(word);
            waiting_ = nullptr;
        }
    }
    const bool missing = waiting_ != nullptr && waiting_->isArgumentRequired() && waiting_->values_.empty();
    if (missing) addError(waiting_->matchedName() + " must be followed by an argument");
    waiting_ = nullptr;
    return !missing;
}

void Getopt::parseLongOption(const std::string& word) {
    const std::size_t assign = word.find('=', 2);
    const std::string name = word.substr(2, assign == std::string::npos ? std::string::npos : assign - 2);
    if (!recordOption(name)) {
        waiting_ = nullptr;
        return;
    }
    if (assign == std::string::npos) return;
    const std::string text = word.substr(assign + 1);
    if (text.empty())
        addError("argument assignment missing (found: '" + word + "')");
    else if (waiting_->takesArgument())
        acceptArgument(text);
    else
        addError(waiting_->displayName() + " does not accept arguments (found explicit assignnment: '" + word + "')");
    waiting_ = nullptr;
}

void Getopt::parseShortBundle(const std::string& word) {
    for (std::size_t i = 1; i < word.size(); ++i) {
        if (!recordOption(std::string(1, word[i]))) {
            waiting_ = nullptr;
            return;
        }
        if (waiting_->isArgumentRequired() && i + 1 < word.size()) {
            acceptArgument(word.substr(i + 1));
            return;
        }
    }
}

Option* Getopt::findOption(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (const option_group_t& group : groups_) {
        for (Option* option : group.options) {
            if ((name.size() == 1 && option->shortLetter() == name[0]) || option->longName() == name) return option;
        }
    }
    return nullptr;
}

bool Getopt::recordOption(const std::string& name) {
    Option* option = findOption(name);
    if (option == nullptr) {
        addError(name + " is not a valid option (found in: '" + currentWord_ + "')");
        return false;
    }
    if (waiting_ != nullptr && waiting_->isArgumentRequired()) {
        addError(waiting_->matchedName() + " must be followed by an argument (found: '" + currentWord_ + "' instead)");
        return false;
    }
    if (option->isSet()) {
        if (option->isRepeatable()) {
            ++option->count_;
        } else if (!option->isList()) {
            addError(option->matchedName() + " can only be specified once (found earlier: '" + option->foundInWord_ +
                     "')");
            return false;
        }
    } else if (option->isRepeatable()) {
        ++option->count_;
    }
    option->matchedName_ = name;
    option->foundInWord_ = currentWord_;
    if (option->isStandalone()) return false;
    waiting_ = option;
    return true;
}

void Getopt::acceptArgument(const std::string& text) {
    // The word is consumed either way: a refused argument is not retried on the next word.
    Option& option = *waiting_;
    waiting_ = nullptr;
    std::vector<std::string> parts;
    if (option.isList()) {
        // A comma in the first character does not cut.
        std::size_t start = 0;
        std::size_t from = 1;
        for (;;) {
            const std::size_t comma = text.find(',', from);
            if (comma == std::string::npos) {
                parts.push_back(text.substr(start));
                break;
            }
            parts.push_back(text.substr(start, comma - start));
            start = from = comma + 1;
        }
    } else {
        parts.push_back(text);
    }
    for (const std::string& part : parts) {
        if (option.hasChoices() && !option.isValidChoice(part)) {
            addError("'" + part + "' is not a valid choice for " + option.matchedName());
            return;
        }
        if ((option.kindMask() & kMaskInteger) != 0 && !forge::isNumber(part, 0)) {
            if (option.isList() && parts.size() > 1)
                addError(option.matchedName() + " must be followed by one or more valid integers (found: '" + part +
                         "' in '" + text + "')");
            else
                addError(option.matchedName() + " must be followed by a valid integer (found: '" + part + "')");
            return;
        }
        option.values_.push_back(part);
    }
}

void Getopt::addError(const std::string& text) {
    if (errorText_)
        *errorText_ += "\n" + text;
    else
        errorText_ = text;
}

void Getopt::applyDefaults() {
    for (const option_group_t& group : groups_) {
        for (Option* option : group.options) {
            if (option->values_.empty() && !option->defaultValue_.empty())
                option->values_.emplace_back(option->defaultValue_);
        }
    }
}

}  // namespace forge::getopt
