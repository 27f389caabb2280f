// The printers of Getopt: help listing, usage lines and the "Try" hint.

#include "forge/getopt.hpp"

#include <algorithm>
#include <ostream>
#include <string_view>

namespace forge::getopt {

namespace {

// Choices wrap when the counter passes this column.
constexpr std::size_t kChoiceWrapColumn = 76;

std::string optionLine(const Option& option) {
    std::string line = " ";
    if (option.shortLetter() == 0) line += "   ";  // lines the "--" up with that of options with a short letter
    line += option.displayName();
    if (!option.argumentName().empty()) {
        if (option.isArgumentRequired())
            line += " <" + std::string(option.argumentName()) + ">";
        else
            line += " [" + std::string(option.argumentName()) + "]";
    }
    return line;
}

void printChoices(std::ostream& out, const Option& option, std::size_t padded) {
    const std::string_view name = option.argumentName();
    out << std::string(padded, ' ') << "  " << name << ": ";
    const std::size_t start = padded + name.size() + 4;
    // The counter runs one ahead on the first line, so that line breaks a character early.
    std::size_t counter = start;
    const char* separator = "";
    for (const std::string_view choice : option.choiceList()) {
        if (choice.starts_with('^')) continue;
        if (counter + choice.size() > kChoiceWrapColumn) {
            out << separator << '\n' << std::string(start, ' ') << choice;
            counter = start + choice.size();
        } else {
            out << separator << choice;
            counter += choice.size() + 1;
        }
        separator = ",";
    }
    out << '\n';
}

std::string_view firstLine(std::string_view text) { return text.substr(0, text.find('\n')); }

}  // namespace

void Getopt::printHelp(std::ostream& out) const {
    const Getopt& node = innermost();
    const bool has_commands = !node.commands_.empty();
    if (has_commands) out << "Available options when no command is given:\n";
    if (node.groups_.empty() && !has_commands) return;
    for (const option_group_t& group : node.groups_) {
        if (group.name == g_default_group_name) printGroup(node, out, group);
    }
    if (!has_commands) {
        for (const option_group_t& group : node.groups_) {
            if (group.name != g_default_group_name) printGroup(node, out, group);
        }
        return;
    }
    out << "\nAvailable commands: ('" << node.invocationWord_ << " [command] --help')\n";
    for (const command_t& command : node.commands_) {
        if (command.hidden) continue;
        const std::size_t pad =
            node.commandColumnWidth_ - std::min<std::size_t>(node.commandColumnWidth_, command.name.size());
        out << "  " << std::string(pad, ' ') << command.name << ": " << command.description << '\n';
    }
}

void Getopt::printGroup(const Getopt& node, std::ostream& out, const option_group_t& group) const {
    if (!group.title.empty()) out << '\n' << group.title << ":\n";
    for (const Option* option : group.options) {
        if (option->isHidden()) continue;
        const std::string line = optionLine(*option);
        const std::size_t padded = std::max<std::size_t>(line.size(), node.optionColumnWidth_);
        out << line << std::string(padded - line.size(), ' ') << option->help() << '\n';
        if (option->hasChoices()) printChoices(out, *option, padded);
    }
}

void Getopt::printUsage(std::ostream& out) const {
    out << "usage: " << invocationWord_ << ' ';
    if (selected_ != nullptr)
        out << selected_->name << ' ' << selected_->parser->usage_;
    else
        out << usage_;
    out << '\n';
}

void Getopt::printShortUsage(std::ostream& out) const {
    out << "usage: " << invocationWord_ << ' ';
    if (selected_ != nullptr)
        out << selected_->name << ' ' << firstLine(selected_->parser->usage_);
    else
        out << firstLine(usage_);
    out << '\n';
}

void Getopt::printTryHelp(std::ostream& out) const {
    out << "Try '" << invocationWord_;
    if (selected_ != nullptr) out << ' ' << selected_->name;
    out << " --help' for more information.\n";
}

}  // namespace forge::getopt
