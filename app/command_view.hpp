#pragma once
// The view command: shows files as sixel pictures in the terminal. Paint
// pictures are decoded, character sets drawn as a sheet of glyphs and PETSCII
// text drawn on a 40-column screen in the embedded font; containers show the
// entries their selector picks, each under its path label.

#include <cstdint>
#include <iostream>
#include <span>
#include <string>

#include "app/argument_loop.hpp"
#include "app/command.hpp"
#include "app/reporter.hpp"
#include "forge/files.hpp"
#include "forge/raster_image.hpp"
#include "platter/fileid/file_traits.hpp"
#include "platter/selection/cbm_selection.hpp"

namespace platter {
class Disk;
}

namespace app {

class CommandView : public Command {
public:
    explicit CommandView(std::ostream& out = std::cout) : out_(out) {}

    // 1 on a usage error, a refused option value or selector, or when any
    // argument showed nothing; the other arguments are still shown.
    int run(forge::getopt::Getopt& getopt) override;
    // One file read into memory: a container shows its selected entries,
    // anything else is shown as it is. 0 when something was shown.
    int processFile(forge::file_t& file, const std::string& name);
    // The selected entries of a container; 0 when one of them was shown.
    int processDisk(platter::Disk& disk, const std::string& name);
    // The bytes, identified as `traits`, as a picture on the output: a
    // character set, a paint picture, or PETSCII text (identified so, or from
    // a host file named ".seq" of at most 1 MiB; `extension` is that of the
    // host file the bytes came from). 0 when shown; otherwise a warning says
    // why, and the caller decides whether the run fails.
    int renderFile(const platter::fileid::file_traits_t& traits, std::span<const std::uint8_t> data,
                   const std::string& name, const std::string& extension);

    // Parses the selector view applies to the next containers ("*" when empty); false with the
    // messages written to the error stream.
    bool parseSelector(const std::string& selector);

private:
    bool readOptions(forge::getopt::Getopt& getopt);
    int showPicture(const forge::raster_image_t& picture, std::uint64_t scale, const std::string& name);
    int showText(std::span<const std::uint8_t> data, const std::string& name);

    platter::CbmSelection selection_;
    Reporter reporter_;
    ArgumentLoop loop_{reporter_};
    std::ostream& out_;
    std::uint64_t scale_ = 0;  // 0: not given
    std::uint8_t background_ = 6;
    std::uint8_t textColour_ = 14;
    bool lowercase_ = false;
    bool fontMissing_ = false;
};

}  // namespace app
