#pragma once
// The hidden test command: lays geoWrite documents, stored as GEOS Convert
// files, out as plain text pages.

#include <cstdint>
#include <iostream>
#include <span>

#include "app/command.hpp"
#include "app/reporter.hpp"

namespace app {

class CommandGeowritePages : public Command {
public:
    explicit CommandGeowritePages(std::ostream& out = std::cout) : out_(out) {}

    // 1 when there is no FILE, and at the first FILE that is a directory, missing
    // (all are checked before any is laid out) or no geoWrite document.
    int run(forge::getopt::Getopt& getopt) override;
    // Lays one document out; false when its record table runs past the file.
    bool renderGeoWrite(std::span<const std::uint8_t> convertFile);

private:
    std::ostream& out_;
    Reporter reporter_;
};

}  // namespace app
