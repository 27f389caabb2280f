#pragma once
// The unar command: one C64 archive expanded into a new disk image file.

#include <cstdint>
#include <string>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"

namespace app {

class CommandUnar : public Command {
public:
    // ARCHIVE DISK, or DISK with the archive on standard input; 1 on a usage error, an archive
    // that could not be expanded, an image that could not be written, or one written without
    // every file of the archive.
    int run(forge::getopt::Getopt& getopt) override;

    // Expands the bytes of the archive at path `archive` (empty: standard input) and writes the
    // image to `disk`, which gets the image's extension appended when it has none and names no
    // device or pipe. A `disk` that is the archive itself is refused.
    int expand(const std::vector<std::uint8_t>& bytes, const std::string& archive, std::string& disk);

private:
    Reporter reporter_;
};

}  // namespace app
