#pragma once
// The loop every command that takes FILE arguments runs: split PATH:SELECTOR, let the
// command take the selector, walk the path (a directory as the command wants), open each
// file as a container through the one open step, report through the command's reporter,
// and give the exit status.

#include <functional>
#include <string>
#include <vector>

#include "app/file_arguments.hpp"
#include "app/reporter.hpp"

namespace platter {
class Disk;
}

namespace app {

class ArgumentLoop {
public:
    using SelectorHandler = std::function<bool(const std::string& argument, const std::string& selector)>;
    using ContainerHandler = std::function<void(platter::Disk& disk, const std::string& name)>;

    explicit ArgumentLoop(Reporter& reporter) : reporter_(reporter) {}

    // The selector of each argument, before its path is walked; false ends the run with 1.
    SelectorHandler onSelector;
    // Each file of a path; by default it is opened as a container (openFile).
    FileHandler onFile;
    // The container of a file or of standard input.
    ContainerHandler onContainer;
    // A directory named by an argument; by default every file below it goes to onFile.
    DirectoryHandler onDirectory;
    // Called once an argument's path has been walked.
    std::function<void()> afterArgument;
    // Checked after every path: true ends the loop (cat after refusing binary output).
    std::function<bool()> stopped;

    // 1 when a selector was refused or any error was reported, else 0.
    int run(const std::vector<std::string>& arguments);
    // Opens the file as a container, reports why not, or hands the container on. A file that
    // holds nothing to open is an error when an argument names it, a warning when a walk finds it.
    void openFile(const std::string& path);
    // The same for standard input, read to its end.
    int openStandardInput();
    // Every file below the directory to onFile; a directory that cannot be opened is a warning.
    void walk(const std::string& directory);

private:
    Reporter& reporter_;
    bool walking_ = false;
};

}  // namespace app
