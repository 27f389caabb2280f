#include "app/command_file.hpp"

#include "app/argument_loop.hpp"
#include "app/argument_texts.hpp"
#include "app/container_arguments.hpp"
#include "forge/strings.hpp"
#include "forge/terminal.hpp"
#include "platter/fileid/describe.hpp"

#include <algorithm>
#include <vector>

namespace app {

int CommandFile::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) {
        if (forge::isTerminal(std::cin)) {
            return reportMissingFile(getopt);
        }
        nameWidth_ = forge::kStdinName.size();
        const bool described = readStandardInput(
            [this](forge::file_t& file, const std::string& name) { return processFile(file, name); }, reporter_);
        return described ? 0 : 1;
    }

    // Only paths that get a line count; the others are reported in the second pass.
    nameWidth_ = 0;
    for (const std::string& argument : arguments) {
        const std::string path = splitPathSelector(argument).first;
        if (forge::isDirectory(path) || forge::isRegularFile(path)) widen(path);
    }

    const FileBytesCallback onBytes = [this](forge::file_t& file, const std::string& name) {
        return processFile(file, name);
    };
    ArgumentLoop loop(reporter_);
    loop.onSelector = [this](const std::string&, const std::string& selector) {
        if (!selector.empty()) reporter_.warning("cbm file selectors are not (yet) supported", Reporter::kNever);
        return true;
    };
    loop.onFile = [&](const std::string& path) {
        if (!checkReadable(path, onBytes, reporter_)) reporter_.fail();
    };
    loop.onDirectory = [this](const std::string& path, const FileHandler&) {
        printPrefix(path);
        out_ << "directory\n";
    };
    return loop.run(arguments);
}

int CommandFile::processFile(const forge::file_t& file, const std::string& name) {
    printPrefix(name);
    out_ << platter::fileid::describe(file.data) << '\n';
    return 0;
}

void CommandFile::printPrefix(const std::string& path) {
    const std::uint64_t width = forge::displayWidth(path);
    out_ << path << "; " << std::string(width < nameWidth_ ? nameWidth_ - width : 0, ' ');
}

void CommandFile::widen(const std::string& path) {
    nameWidth_ = std::max<std::uint64_t>(nameWidth_, forge::displayWidth(path));
}

}  // namespace app
