#include "app/command_bam.hpp"

#include "app/argument_texts.hpp"
#include "app/container_arguments.hpp"
#include "app/file_arguments.hpp"
#include "app/options.hpp"
#include "app/program_state.hpp"
#include "forge/log.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"

#include <iostream>

namespace app {

int CommandBam::run(forge::getopt::Getopt& getopt) {
    readWidthOptions();
    render_.errorRows = g_option_errors.isSet();
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    return arguments.empty() ? drawStandardInput(getopt) : drawArguments(arguments);
}

// The warning goes to the error stream so that the grid on standard output
// stays the grid alone.
void CommandBam::readWidthOptions() {
    if (g_option_three.isSet() && g_option_one.isSet()) {
        std::cerr << "warning: block width flag (" << g_option_one.matchedName() << ") overrides block width flag ("
                  << g_option_three.matchedName() << ")\n";
    }
    if (g_option_three.isSet()) render_.cellWidth = 3;
    if (g_option_one.isSet()) render_.cellWidth = 1;
}

int CommandBam::drawStandardInput(const forge::getopt::Getopt& getopt) {
    if (forge::isTerminal(std::cin)) {
        std::cerr << "error: missing FILE.\n\n";
        getopt.printShortUsage(std::cerr);
        getopt.printTryHelp(std::cerr);
        return 1;
    }
    printPathHeader(std::cout, std::string(forge::kStdinName), "");
    return openStdinContainer(drawContainer()) != 0 ? 1 : 0;
}

// A selector ends the run at once; every other failure is reported and the
// next argument follows.
int CommandBam::drawArguments(const std::vector<std::string>& arguments) {
    const FileHandler onFile = [this](const std::string& path) {
        printPathHeader(std::cout, path, "");
        if (openContainerArgument(path, drawContainer()) != 0) failed_ = true;
    };
    const DirectoryHandler onDirectory = [](const std::string& path, const FileHandler&) {
        forge::logWarning("skipping directory: '", path, "'");
    };
    for (const std::string& argument : arguments) {
        const auto [path, selector] = splitPathSelector(argument);
        if (!selector.empty()) {
            std::cerr << "error: cbm selectors not supported in 'zt bam'\n";
            return 1;
        }
        if (!forEachPath(path, onFile, onDirectory)) failed_ = true;
    }
    return failed_ ? 1 : 0;
}

ContainerCallback CommandBam::drawContainer() {
    return [this](platter::Disk& disk, const std::string& path) {
        processDisk(disk, path);
        return 0;
    };
}

// The grid always carries colour, whatever the terminal, and ends with the
// normal attribute.
void CommandBam::processDisk(platter::Disk& disk, const std::string& /*path*/) {
    g_console.setColor(true);
    render_.draw(disk);
    g_console.normal();
}

}  // namespace app
