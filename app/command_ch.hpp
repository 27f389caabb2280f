#pragma once
// The ch command: changes a container in place. With -e CODE it sets the
// per-block error code of the selected blocks or tracks and writes the
// container back.

#include "app/argument_loop.hpp"
#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/selection/cbm_selection.hpp"

#include <cstdint>
#include <optional>
#include <string>

namespace platter {
class Disk;
}

namespace app {

class CommandCh : public Command {
public:
    CommandCh();

    // The error byte stored for a drive error code: 0 and 1 (no error) give
    // 1, 20 to 27 and 29 give the code less 18; anything else gives none.
    static std::optional<std::uint8_t> errorByteForCode(std::int64_t code);

    // 1 on a usage error or a selector that is refused, or when any
    // container could not be changed or saved; the others are still changed.
    int run(forge::getopt::Getopt& getopt) override;
    // Sets the error byte on the container and saves it: 0 done or nothing
    // to change, 1 failed (the file is left as it was).
    int processDisk(platter::Disk& disk, const std::string& path);

private:
    bool addErrorBytes(platter::Disk& disk, const std::string& path);
    bool setBlock(platter::Disk& disk, const platter::track_sector_t& block, const std::string& path);
    int save(platter::Disk& disk, const std::string& path);

    platter::CbmSelection selection_;
    Reporter reporter_;
    ArgumentLoop loop_{reporter_};
    std::uint8_t errorByte_ = 1;
    std::string optionName_ = "-e";  // as the user spelled it, for messages
};

}  // namespace app
