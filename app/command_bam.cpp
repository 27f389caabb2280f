#include "app/command_bam.hpp"

#include "app/argument_texts.hpp"
#include "app/options.hpp"
#include "forge/files.hpp"
#include "app/program_state.hpp"
#include "forge/log.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"

#include <iostream>

namespace app {

int CommandBam::run(forge::getopt::Getopt& getopt) {
    readWidthOptions();
    render_.errorRows = g_option_errors.isSet();
    loop_.onContainer = [this](platter::Disk& disk, const std::string& path) { processDisk(disk, path); };
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
    return loop_.openStandardInput();
}

// A selector ends the run at once; every other failure is reported and the
// next argument follows.
int CommandBam::drawArguments(const std::vector<std::string>& arguments) {
    loop_.onSelector = [this](const std::string&, const std::string& selector) {
        if (selector.empty()) return true;
        reporter_.error("cbm selectors not supported in 'zt bam'", Reporter::kNever);
        return false;
    };
    loop_.onFile = [this](const std::string& path) {
        printPathHeader(std::cout, path, "");
        loop_.openFile(path);
    };
    loop_.onDirectory = [](const std::string& path, const FileHandler&) {
        forge::logWarning("skipping directory: '", path, "'");
    };
    return loop_.run(arguments);
}

// The grid always carries colour, whatever the terminal, and ends with the
// normal attribute.
void CommandBam::processDisk(platter::Disk& disk, const std::string& /*path*/) {
    g_console.setColor(true);
    render_.draw(disk);
    g_console.normal();
}

}  // namespace app
