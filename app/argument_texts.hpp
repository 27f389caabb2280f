#pragma once
// Small texts shared by the commands that walk FILE arguments: the path label
// of a listing, block chains and render targets.

#include "forge/getopt.hpp"
#include "platter/core/block_range_fault.hpp"
#include "platter/core/track_sector.hpp"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// "\n" on standard output, then the path (relative to the current directory
// with --relative) and the suffix on the stream; nothing with --Xpath or --delim.
void printPathHeader(std::ostream& out, const std::string& path, std::string_view suffix);

// Blocks joined by ",", each "track.sector", or the sector alone when the
// track is that of the block before: 18.1,4,19.0.
std::string chainText(const std::vector<platter::track_sector_t>& blocks);

// What is wrong with the area of entry [N]: "the partition of entry [N] " and "starts outside
// the image", "runs past the end of the image", "covers the directory track T", "covers the
// system area" or "is smaller than its kind needs"; or where its subdirectory's header is.
std::string partitionFaultText(std::uint64_t index, platter::block_range_fault fault, std::uint64_t directoryTrack);

// "error: " + text, an empty line, the short usage and the --help hint, on the error
// stream; always 1, the exit status of a usage error.
int reportUsageError(const forge::getopt::Getopt& getopt, std::string_view text);
// The usage error "missing at least one FILE.".
int reportMissingFile(const forge::getopt::Getopt& getopt);
// The usage error "<what> is empty or names a directory." when `path` names no file (it is
// empty, or ends in a separator, "." or ".."): an output written there would be a hidden
// ".d64" or parts named "1!". True when it was reported.
bool reportNamelessOutput(const forge::getopt::Getopt& getopt, const std::string& path, std::string_view what);

// The full usage, an empty line, the --help hint and an empty line, on the error stream;
// always 1: the commands that need at least one FILE and were given none.
int reportUsageWithoutFile(const forge::getopt::Getopt& getopt);

// The render command's target numbers for an identified type.
std::vector<std::uint32_t> renderTargets(std::uint32_t typeId);
// Those of a container's directory listing.
std::vector<std::uint32_t> listingRenderTargets();

}  // namespace app
