#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

// What one selector picks inside a container.
enum class SelectorKind : std::uint32_t {
    None = 0,
    ByFilename = 1,
    ByIndex = 2,
    ByIndexRange = 3,
    TrackData = 4,
    BlockData = 5,
    DirectoryChain = 6,
    BlockChain = 7,
};

// The kind as messages name it: "selecting " + name + ...
constexpr std::string_view selectorKindName(SelectorKind kind) {
    switch (kind) {
        case SelectorKind::ByFilename: return "by filename";
        case SelectorKind::ByIndex: return "by index";
        case SelectorKind::ByIndexRange: return "by index range";
        case SelectorKind::TrackData: return "track data";
        case SelectorKind::BlockData: return "block data";
        case SelectorKind::DirectoryChain: return "directory chain data";
        case SelectorKind::BlockChain: return "block chain data";
        case SelectorKind::None: break;
    }
    return "";
}

// One node of a selection tree: one entry of the selector text between
// separators, and for a nested node the selectors that apply inside the entry
// it matches.
struct file_selector {
    // The frame of a node whose enclosing entry was not descended into.
    static constexpr std::uint64_t kNoFrame = UINT64_MAX;

    SelectorKind kind = SelectorKind::None;
    std::string text;  // as written, with a leading "^" and a nesting ":"
    std::string name;  // PETSCII file-name pattern (by filename)
    // Track of track/block/chain data (and of the directory chain once
    // processed); first index of the last index item; last entry a name matched.
    std::uint64_t first = 0;
    // Sector of block/chain data (and the directory chain); last index of the
    // last index item.
    std::uint64_t second = 0;
    bool negated = false;
    bool nested = false;
    std::vector<file_selector> children;
    // Entry indices given (by index) or matched (by filename, when processed).
    std::set<std::uint64_t> indices;
    std::vector<track_sector_t> blocks;  // block data, in the order written
    bool wholeBlocks = true;             // false: "~", data without link bytes
    std::uint64_t frame = 0;             // index into the processed frames
    // By filename, since the parse: applied to some container, and matched an entry in one.
    bool everApplied = false;
    bool everMatched = false;
};

}  // namespace platter
