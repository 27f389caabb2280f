#pragma once
// The merge command: the files of several disk images collected into one new
// RAMDOS container, a 16 MiB RAM-expansion image.

#include <string>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/archive/merge_writer.hpp"
#include "platter/core/dir_entry.hpp"

namespace platter {
class Disk;
}

namespace app {

class CommandMerge : public Command {
public:
    // 1 on a usage error or when any image could not be merged; nothing is
    // written then. Also 1, with the container written, when an image was damaged or a file
    // was merged in a form that does not hold all of it.
    int run(forge::getopt::Getopt& getopt) override;

    // The entry between groups of files: type 0xC3, a name of 16 x 0xC0.
    static platter::dir_entry_t makeSeparatorEntry();
    // The entry naming a source image: 0xC0, a space, then the first 14
    // characters of its path in PETSCII, padded with spaces.
    static platter::dir_entry_t makeHeaderEntry(const std::string& path);

private:
    bool checkArguments(const std::vector<std::string>& arguments);
    // Adds the files of one image; false after reporting why it cannot be merged.
    bool mergeImage(const std::string& path);
    bool mergeFiles(platter::Disk& disk, const std::string& path);
    bool add(const platter::dir_entry_t& entry, std::span<const std::uint8_t> data);
    bool addMarker(const platter::dir_entry_t& entry);
    bool writeContainer();

    Reporter reporter_;
    // What was merged does not hold all of its source (a damaged image, a file in a form that
    // cannot count all of it): the run fails.
    bool mergedInPart_ = false;
    platter::MergeWriter writer_;
};

}  // namespace app
