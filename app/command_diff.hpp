#pragma once
// The diff command: compares two disk images of compatible kinds block by
// block and reports the differing bytes, blocks and error states, optionally
// with a map of every block and its legend.

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/ids/format_id.hpp"

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

// One compared block.
struct block_comparison_t {
    std::uint64_t track = 0;
    std::uint64_t sector = 0;
    bool errorPresent = false;  // either image has an error code of 2 or more
    bool errorsDiffer = false;
    std::uint64_t differingBytes = 0;  // of 256; all of them when a side has no bytes
};

// A block that is valid on the first image but has no bytes on one side.
struct missing_block_t {
    std::uint64_t track = 0;
    std::uint64_t sector = 0;
    unsigned side = 0;  // 0 the first image, 1 the second
};

// True when both identified types belong to one group of comparable kinds
// (the 1541 family with the raw-track kinds, or one drive kind each).
bool comparableTypes(std::uint32_t first, std::uint32_t second);
bool isBlockBasedType(std::uint32_t type);
// The first block-based type of a registry kind; 0 for a kind diff does not compare.
std::uint32_t blockBasedTypeOf(platter::format_id format);

// The map symbol of a compared block: . x : = ! *
char comparisonSymbol(const block_comparison_t& record);

class CommandDiff : public Command {
public:
    struct settings_t {
        std::uint64_t track = 0;  // 0: every track both images have
        bool trackGiven = false;  // -T: the report speaks of tracks
        bool ignoreErrors = false;
        bool color = false;
        bool legend = false;
        bool verbose = false;
    };

    // 0 whether the images differ or not; 1 for a problem with the arguments.
    int run(forge::getopt::Getopt& getopt) override;

    std::vector<block_comparison_t> compareDisks(platter::Disk& first, platter::Disk& second);
    void printMap(std::ostream& out, const std::vector<block_comparison_t>& records) const;
    void printReport(std::ostream& out, const std::vector<block_comparison_t>& records) const;

    // The blocks the last comparison found without bytes, in comparison order.
    const std::vector<missing_block_t>& missingBlocks() const { return missing_; }

    settings_t settings;

private:
    struct image_t {
        std::string path;
        std::uint32_t type = 0;
        std::unique_ptr<platter::Disk> disk;
    };

    std::optional<image_t> openImage(const std::string& path);
    bool readSettings(const image_t& first, const image_t& second);
    void noteComparedTracks(const image_t& first, const image_t& second) const;
    void noteMissingBlocks(const image_t& first, const image_t& second) const;

    std::vector<missing_block_t> missing_;
    Reporter reporter_;
};

}  // namespace app
