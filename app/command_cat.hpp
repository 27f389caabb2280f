#pragma once
// The cat command: writes what a selector picks inside a container (files,
// tracks, blocks, block chains, the directory chain) to standard output as
// raw bytes; a SEQ file bound for a terminal is shown as text instead.

#include "app/argument_loop.hpp"
#include "app/command.hpp"
#include "app/reporter.hpp"
#include "platter/selection/cbm_selection.hpp"
#include "platter/core/track_sector.hpp"

#include <cstdint>
#include <iostream>
#include <span>
#include <string>

namespace platter {
class Disk;
struct dir_entry_t;
}

namespace app {

// The part of a 256-byte block that cat writes: all of it with wholeBlocks;
// otherwise bytes 2 to 255, and with lastBlockRule a block whose link track
// is 0 (the last of a chain) ends at the offset in its second byte (nothing
// when that offset is below 2).
std::span<const std::uint8_t> blockPart(std::span<const std::uint8_t, 256> block, bool wholeBlocks, bool lastBlockRule);

class CommandCat : public Command {
public:
    // Output goes to `out`; `terminal` tells whether that is a terminal.
    explicit CommandCat(std::ostream& out = std::cout);
    CommandCat(std::ostream& out, bool terminal);

    // 1 on a usage error, a selector that does not parse, binary data bound
    // for a terminal, or when any container produced an error; the other
    // arguments are still written then.
    int run(forge::getopt::Getopt& getopt) override;
    // One container: 0 written, 1 the selection failed on it.
    int processDisk(platter::Disk& disk, const std::string& path);
    // Parses the selector cat applies to the next containers; false with the
    // messages written to the error stream.
    bool parseSelector(const std::string& selector);

    // Raw bytes; refused (false, and nothing more is written) on a terminal.
    bool writeBinary(std::span<const std::uint8_t> bytes);
    // A SEQ file as text through a 40-column PETSCII screen.
    void streamFile(std::span<const std::uint8_t> bytes);

    // Binary data was refused: the run ends with 1 and writes nothing more.
    bool refused() const { return refused_; }

private:
    void writeNode(const platter::file_selector& node, const std::string& path);
    void writeTrack(platter::Disk& disk, const platter::file_selector& node);
    void writeChain(platter::Disk& disk, const platter::file_selector& node);
    void writeEntries(platter::Disk& disk, const platter::file_selector& node, const std::string& path);
    void writeBlocks(platter::Disk& disk, std::span<const platter::track_sector_t> blocks, bool wholeBlocks,
                     bool lastBlockRule);
    void writeBlock(platter::Disk& disk, const platter::track_sector_t& block, bool wholeBlocks, bool lastBlockRule);
    // One warning for each VLIR record the last read counted short; the run fails.
    void warnRecordsCountedShort(const platter::entry_read_t& read, const platter::dir_entry_t& entry);

    platter::CbmSelection selection_;
    Reporter reporter_;
    ArgumentLoop loop_{reporter_};
    std::ostream& out_;
    bool terminal_;
    bool lowercase_ = false;
    bool refused_ = false;  // binary data was bound for a terminal
    bool wrote_ = false;    // something reached the output
};

}  // namespace app
