#pragma once
// The fgrep command: searches every block of the containers named by FILE
// arguments for a fixed byte pattern given as PETSCII text, ASCII or hex, and
// reports where it occurs by track and sector.

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "forge/host_file.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platter {
class Disk;
}

namespace app {

// One match: the block it starts in, the block it runs on into (track 0 for
// a match inside one block), and its first byte's offset in the first block.
struct fgrep_match_t {
    std::uint64_t track = 0;
    std::uint64_t sector = 0;
    std::uint64_t linkTrack = 0;
    std::uint64_t linkSector = 0;
    std::uint64_t offset = 0;
};

class CommandFgrep : public Command {
public:
    static constexpr std::size_t kMaxPatternLength = 256;

    enum class pattern_format { unspecified, ascii, petscii, hex };
    enum class output_mode { matches, withMatches, withoutMatch, count };

    struct settings_t {
        pattern_format format = pattern_format::unspecified;
        output_mode mode = output_mode::matches;
        bool byteOffset = false;
        bool noFilename = false;
        std::optional<std::uint64_t> maxCount;  // none: unlimited
    };

    // 0 whether anything matched or not; 1 for a usage error, a missing or
    // directory FILE, or a FILE that cannot be read or opened.
    int run(forge::getopt::Getopt& getopt) override;

    // The pattern's bytes in the chosen format; empty when the text is empty
    // or holds a character PETSCII lacks.
    std::vector<std::uint8_t> patternBytes(const std::string& text) const;
    // Stops once the records reach the maximum; a maximum of 0 keeps the first.
    std::vector<fgrep_match_t> searchDisk(const std::vector<std::uint8_t>& pattern, platter::Disk& disk,
                                          std::optional<std::uint64_t> maximum) const;
    void printMatches(const std::vector<std::uint8_t>& pattern, platter::Disk& disk, const std::string& path) const;

    settings_t settings;

private:
    bool readSettings();
    bool searchFile(const std::vector<std::uint8_t>& pattern, const std::string& path,
                    const forge::host_file_status_t& status);

    Reporter reporter_;
};

}  // namespace app
