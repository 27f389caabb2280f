#pragma once
// The unzip command: a four/five-part zipcode set back into a D64 image, a six-part
// GCR set into a G64 image or, through the GCR decoder, a D64.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"

namespace app {

class CommandUnzip : public Command {
public:
    // 1 on a usage error, a set that cannot be found or read, a FILE that is one of its parts,
    // or a failed write; also 1, with the image written, when parts were missing or cut short
    // or sectors could not be decoded.
    int run(forge::getopt::Getopt& getopt) override;

    // For k = 1 to `parts`: directory + the template with its digit replaced by k + the set
    // name; the paths of the files that exist are added to `found`. Returns how many.
    static std::size_t findParts(const std::string& directory, const std::string& setName, std::size_t parts,
                                 std::string_view partTemplate, std::vector<std::string>& found);

private:
    struct part_t {
        std::string path;
        std::vector<std::uint8_t> bytes;
        unsigned number = 0;  // which part of the set its content is, 1-6
    };

    // The part files of the set ZIPNAME names; false after reporting that there is none.
    bool locateSet(const std::string& zipName);
    bool locateSixParts(const std::string& directory, const std::string& setName, const std::string& named);
    bool locateZip4Parts(const std::string& directory, const std::string& setName, const std::string& zipName);
    // Reads and identifies every part, in order, each named on standard output when
    // `showReading`; false after naming the first that is no part.
    bool readParts(bool showReading);
    void reportNoHeader(const std::string& path);
    // Whether the target is one of the parts read, which it must not replace; reports it.
    bool isPart(const std::string& target);
    // Warns when FILE has an extension other than that of what is written.
    void warnAboutExtension(const std::string& file, bool g64);
    // The image of the four/five parts read; names each part cut short.
    std::vector<std::uint8_t> unpackZip4();
    bool unpackZip6(std::vector<std::uint8_t>& image, bool g64, const std::string& target);
    bool write(const std::string& target, const std::vector<std::uint8_t>& image);

    Reporter reporter_;
    bool sixParts_ = false;
    std::vector<std::string> paths_;
    std::vector<part_t> parts_;
};

}  // namespace app
