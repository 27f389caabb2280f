#pragma once
// The unzip command: a four/five-part zipcode set back into a D64 image, a six-part
// GCR set into a G64 image or, through the GCR decoder, a D64.

#include <cstdint>
#include <string>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/open/zipcode_set_files.hpp"

namespace app {

class CommandUnzip : public Command {
public:
    // 1 on a usage error, a set that cannot be found or read, a FILE that is one of its parts,
    // or a failed write; also 1, with the image written, when parts were missing or cut short
    // or sectors could not be decoded.
    int run(forge::getopt::Getopt& getopt) override;

private:
    // The parts of the set ZIPNAME names; false after reporting that there is none.
    bool locateSet(const std::string& zipName);
    // Reads and checks every part found, in order, each named on standard output when
    // `showReading`; false after naming the first that is no part.
    bool readParts(bool showReading);
    void reportNoHeader(const std::string& path);
    // Whether the target is one of the parts read, which it must not replace; reports it.
    bool isPart(const std::string& target);
    // Warns when FILE has an extension other than that of what is written.
    void warnAboutExtension(const std::string& file, bool g64);
    // Warns of the parts and blocks that the image lacks, in the words of ls, and fails the run.
    void reportGaps(std::vector<std::string> notes);
    // The image of the four/five parts read; false when none of them decoded.
    bool unpackZip4(std::vector<std::uint8_t>& image);
    bool unpackZip6(std::vector<std::uint8_t>& image, bool g64, const std::string& target);
    bool write(const std::string& target, const std::vector<std::uint8_t>& image);

    Reporter reporter_;
    std::string name_;  // ZIPNAME's file name, which messages of the image name it by
    platter::zipcode_set_t set_;
};

}  // namespace app
