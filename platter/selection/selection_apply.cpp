// Applying a parsed selection to a container: matching names and indices,
// checking blocks against the geometry, and descending into partitions,
// subdirectories, archives and zipcode sets.

#include <cctype>
#include <set>
#include <string>
#include <string_view>

#include "platter/selection/cbm_selection.hpp"
#include "forge/strings.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/nested_container.hpp"
#include "platter/petscii/petscii_text.hpp"

namespace platter {

namespace {

void markNotDescended(std::vector<file_selector>& nodes) {
    for (file_selector& node : nodes) {
        node.frame = file_selector::kNoFrame;
        markNotDescended(node.children);
    }
}

std::string quotedNode(std::string_view prefix, const file_selector& node) {
    return std::string(prefix) + "'" + node.text + "'\n";
}

std::string cannotDescend(const file_selector& node) {
    return quotedNode("error: couldn't descend into entry matched by selector: ", node);
}

}  // namespace

selection_result_t CbmSelection::processSelection(Disk& disk) {
    entriesSelected_ = entriesExcluded_ = blocksSelected_ = 0;
    // A failed processing of an earlier container does not stop this one;
    // only a failed parse does.
    if (!parsed_) return {false, 0};
    // The messages of the parse were the caller's to print; processing starts a fresh list.
    resetFrames();
    if (root_.empty()) {
        valid_ = true;
        return {true, 0};
    }
    baseDirectoryDepth_ = disk.directoryDepth();
    selection_frame_t top;
    top.disk = &disk;
    top.directory = disk.directoryStart();
    top.header = disk.directoryHeader();
    frames_.push_back(std::move(top));
    markNotDescended(root_);
    for (file_selector& node : root_) node.frame = 0;

    const bool ok = walkPreorder(
        [this](file_selector& node) { return node.frame == file_selector::kNoFrame || applySelector(node); });
    leaveDirectories(disk);
    valid_ = ok;
    return {ok, entriesSelected_ + blocksSelected_};
}

void CbmSelection::resetFrames() {
    frames_.clear();
    messages_.clear();
    quietable_.clear();
}

void CbmSelection::leaveDirectories(Disk& disk) const {
    const std::size_t base = !frames_.empty() && frames_.front().disk == &disk ? baseDirectoryDepth_ : 0;
    while (disk.directoryDepth() > base && disk.closeDirectory(false)) {}
}

Disk* CbmSelection::enterFrame(const file_selector& node) { return enterFrame(node.frame); }

// Every frame is entered from the disk's base directory, so a node applies to
// its own frame whatever frame the node before it entered.
Disk* CbmSelection::enterFrame(std::uint64_t index) {
    if (index >= frames_.size()) return nullptr;
    const selection_frame_t& frame = frames_[index];
    Disk& disk = *frame.disk;
    leaveDirectories(disk);
    for (const dir_entry_t& entry : frame.path) {
        track_sector_t first;
        if (!disk.openDirectory(entry, first, false)) {
            leaveDirectories(disk);
            return nullptr;
        }
    }
    return &disk;
}

bool CbmSelection::applySelector(file_selector& node) {
    Disk* disk = enterFrame(node);
    if (!disk) return fail(cannotDescend(node));
    switch (node.kind) {
        case SelectorKind::ByFilename: applyByFilename(node, *disk); break;
        case SelectorKind::ByIndex:
        case SelectorKind::ByIndexRange:
            if (!applyByIndex(node, *disk)) return false;
            break;
        case SelectorKind::TrackData:
        case SelectorKind::BlockData:
        case SelectorKind::BlockChain: return applyBlocks(node, *disk);
        case SelectorKind::DirectoryChain:
            node.first = disk->directoryStart().track;
            node.second = disk->directoryStart().sector;
            ++blocksSelected_;
            return true;
        case SelectorKind::None: return true;
    }
    return !node.nested || descend(node, *disk);
}

// Matches every slot, empty ones included, on the name up to its padding;
// the name is a byte buffer (an all-NUL name matches "*").
void CbmSelection::applyByFilename(file_selector& node, Disk& disk) {
    node.indices.clear();
    node.first = 0;
    std::set<std::string, std::less<>> names;
    const std::uint64_t count = disk.countDirectoryEntries();
    for (std::uint64_t i = 0; i < count; ++i) {
        dir_entry_t entry;
        if (!disk.getEntry(i, disk.includeEmpty(), entry)) continue;
        const std::string_view name(reinterpret_cast<const char*>(entry.name().data()), nameLength(entry));
        if (!forge::wildcardMatch(name, node.name)) continue;
        node.first = i;
        node.indices.insert(i);
        names.emplace(name);
    }
    (node.negated ? entriesExcluded_ : entriesSelected_) += names.size();
    node.everApplied = true;
    if (!node.indices.empty()) node.everMatched = true;
}

bool CbmSelection::applyByIndex(file_selector& node, Disk& disk) {
    const std::uint64_t count = disk.countDirectoryEntries();
    for (const std::uint64_t index : node.indices) {
        if (index >= count) return fail(quotedNode("error: index number is out of range for the container: ", node));
        ++(node.negated ? entriesExcluded_ : entriesSelected_);
    }
    return true;
}

bool CbmSelection::applyBlocks(const file_selector& node, const Disk& disk) {
    const auto valid = [&](const track_sector_t& block) {
        if (!disk.isValidBlock(makeBlock(block.track, 0)))
            return fail(quotedNode("error: track number is out of range for the container: ", node));
        if (block.sector != 0 && !disk.isValidBlock(block))
            return fail(quotedNode("error: sector number is out of range for the container: ", node));
        return true;
    };
    if (node.kind == SelectorKind::BlockData) {
        for (const track_sector_t& block : node.blocks)
            if (!valid(block)) return false;
    } else if (!valid(makeBlock(node.first, node.second))) {
        return false;
    }
    ++blocksSelected_;
    return true;
}

bool CbmSelection::descend(file_selector& node, Disk& disk) {
    // A name that matched nothing leaves nothing to descend into.
    if (node.kind == SelectorKind::ByFilename && node.indices.empty()) return true;
    dir_entry_t entry;
    if (!disk.getEntry(node.first, disk.includeEmpty(), entry)) return fail(cannotDescend(node));
    if (frames_[node.frame].depth >= kMaxNestingDepth) {
        note(quotedNode("warning: selection nested too deeply; skipping: ", node));
        return true;
    }
    switch (nestedKindOf(disk, entry)) {
        case nested_kind::directory: return descendIntoDirectory(node, disk, entry);
        case nested_kind::partition: return descendIntoPartition(node, disk, entry);
        default: return descendIntoFile(node, disk, entry);
    }
}

bool CbmSelection::descendIntoDirectory(file_selector& node, Disk& disk, const dir_entry_t& entry) {
    track_sector_t directory;
    const bool entered = disk.openDirectory(entry, directory, false);
    if (entered) disk.closeDirectory(false);
    if (disk.partitionFault(entry) == block_range_fault::enclosingStart ||
        loopsBack(node.frame, disk, entered ? &directory : nullptr, entry.firstBlock())) {
        note(quotedNode("warning: selection loops back into an enclosing directory; skipping: ", node));
        return true;
    }
    if (!entered) return fail(cannotDescend(node));
    selection_frame_t frame;
    frame.disk = &disk;
    frame.path = frames_[node.frame].path;
    frame.path.push_back(entry);
    frame.directory = directory;
    frame.header = entry.firstBlock();
    appendFrame(node, std::move(frame));
    return true;
}

// A directory that could be entered is known by its first block; one the disk
// refused to enter (it guards against loops itself) by its header block.
bool CbmSelection::loopsBack(std::uint64_t frame, const Disk& disk, const track_sector_t* directory,
                             const track_sector_t& header) const {
    if (!directory && !disk.isValidBlock(header)) return false;
    for (std::uint64_t k = frame;; k = frames_[k].parent) {
        const selection_frame_t& f = frames_[k];
        if (f.disk == &disk && (directory ? f.directory == *directory : f.header == header)) return true;
        if (k == 0) return false;
    }
}

// Whatever container the entry's data holds (an archive, a zipcode set), named after the entry.
bool CbmSelection::descendIntoFile(file_selector& node, Disk& disk, const dir_entry_t& entry) {
    open_result_t expanded = openNestedContainer(disk, entry);
    if (!expanded.failure.empty()) note("error: " + expanded.failure + "\n", true);
    if (!expanded.disk) return fail(cannotDescend(node));
    appendOpenedFrame(node, std::move(expanded.disk), disk, entry);
    return true;
}

// A partition opens as an image of its own over the container's bytes.
bool CbmSelection::descendIntoPartition(file_selector& node, Disk& disk, const dir_entry_t& entry) {
    std::shared_ptr<Disk> partition = disk.openPartition(entry);
    if (!partition) return fail(cannotDescend(node));
    appendOpenedFrame(node, std::move(partition), disk, entry);
    return true;
}

void CbmSelection::appendOpenedFrame(file_selector& node, std::shared_ptr<Disk> opened, const Disk& parent,
                                     const dir_entry_t& entry) {
    opened->setIncludeEmpty(parent.includeEmpty());
    selection_frame_t frame;
    frame.openedFrom = petsciiNameToUtf8(entry.name(), false);
    frame.disk = opened.get();
    frame.directory = opened->directoryStart();
    frame.header = opened->directoryHeader();
    frame.ownedDisk = std::move(opened);
    appendFrame(node, std::move(frame));
}

void CbmSelection::appendFrame(file_selector& node, selection_frame_t frame) {
    frame.parent = node.frame;
    frame.depth = frames_[node.frame].depth + 1;
    const std::uint64_t index = frames_.size();
    frames_.push_back(std::move(frame));
    for (file_selector& child : node.children) child.frame = index;
}

bool CbmSelection::isIndexSelected(std::uint64_t index, const file_selector& node) const {
    if (node.negated || !node.indices.contains(index)) return false;
    return !isNegatedInFrame(index, node.frame);
}

bool CbmSelection::isNegatedInFrame(std::uint64_t index, std::uint64_t frame) const {
    return !walkPreorder([&](const file_selector& other) {
        return !(other.negated && other.frame == frame && other.indices.contains(index));
    });
}

bool CbmSelection::isIndexSelectedInFrame(std::uint64_t index, std::uint64_t frame) const {
    if (frame >= frames_.size()) return false;
    bool taken = false;
    const bool excluded = !walkPreorder([&](const file_selector& node) {
        if (node.frame != frame || !node.indices.contains(index)) return true;
        if (node.negated) return false;
        taken = true;
        return true;
    });
    return taken && !excluded;
}

std::vector<std::string> CbmSelection::unmatchedNameWarnings() const {
    std::vector<std::string> warnings;
    // Below a name that matched nothing nothing was applied: only that name is named.
    const auto visit = [&](const node_list& nodes, const auto& self) -> void {
        for (const file_selector& node : nodes) {
            if (node.kind != SelectorKind::ByFilename || node.negated || node.everMatched || !node.everApplied) {
                self(node.children, self);
                continue;
            }
            std::string name = node.text;
            if (node.nested && !name.empty()) name.pop_back();
            std::string capitals = name;
            for (char& c : capitals) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            if (name == "*") continue;  // an empty directory, nothing the user misnamed
            std::string warning = "no entry matches '" + name + "'";
            if (capitals != name) warning += "; names are PETSCII, try '" + capitals + "'";
            warnings.push_back(warning);
        }
    };
    visit(root_, visit);
    return warnings;
}

}  // namespace platter
