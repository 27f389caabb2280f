#pragma once
// The zip command: a 35- or 40-track D64 image packed into a four- or five-part
// zipcode set, with how many bytes the set saves.

#include <cstdint>
#include <string>
#include <vector>

#include "app/command.hpp"
#include "app/reporter.hpp"

namespace app {

class CommandZip : public Command {
public:
    // 1 on a usage error, an image that is no 35- or 40-track D64, a part that would replace
    // the image, or parts that could not be written; then no part is written.
    int run(forge::getopt::Getopt& getopt) override;

private:
    // The packed parts of the image, and its size in bytes without error bytes; false after
    // reporting why the image cannot be zipped.
    bool pack(const std::string& file, std::vector<std::vector<std::uint8_t>>& parts, std::uint64_t& imageSize);
    bool writeParts(const std::string& file, const std::string& zipName,
                    const std::vector<std::vector<std::uint8_t>>& parts);

    Reporter reporter_;
};

}  // namespace app
