#pragma once
// The bam command: draws the block-availability map of every container named
// by a FILE argument, or of the container on standard input.

#include "app/argument_loop.hpp"
#include "app/command.hpp"
#include "app/listing_bam.hpp"
#include "app/reporter.hpp"

#include <string>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

class CommandBam : public Command {
public:
    // 1 when an argument was refused, missing or unreadable; a file that is
    // no container is only a warning.
    int run(forge::getopt::Getopt& getopt) override;

    void processDisk(platter::Disk& disk, const std::string& path);

private:
    void readWidthOptions();
    int drawStandardInput(const forge::getopt::Getopt& getopt);
    int drawArguments(const std::vector<std::string>& arguments);

    RenderBam render_;
    Reporter reporter_;
    ArgumentLoop loop_{reporter_};
};

}  // namespace app
