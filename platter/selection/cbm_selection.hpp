#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "platter/selection/file_selector.hpp"
#include "platter/selection/selection_frame.hpp"

namespace platter {

class Disk;

// Outcome of applying a selection to one container.
struct selection_result_t {
    bool ok = false;
    std::uint64_t count = 0;  // entries selected + blocks selected
};

// A selector parsed into a tree of file_selector nodes, and the state of
// applying it to one container: counters, frames (the disks and directories
// the nodes apply to) and the messages of the last parse or processing.
//
// Parsing (cbm_selection.cpp) follows the selector grammar: ";" separates
// siblings, "name:" opens a nested level, a run of ":" after the last member
// closes levels and is followed by ";", "{...}" protects ":" and ";".
// Applying (selection_apply.cpp) matches the tree against a disk.
//
// Messages end in a newline and are never printed here. After a successful
// parse the list may hold a warning ("trailing colon ignored"); callers print
// errors() after every parse, since processing starts a fresh list.
class CbmSelection {
public:
    using node_list = std::vector<file_selector>;

    // Deeper selector text is refused outright: the tree is walked and freed
    // recursively.
    static constexpr std::size_t kMaxParseDepth = 256;

    CbmSelection();
    ~CbmSelection();
    CbmSelection(const CbmSelection&) = delete;
    CbmSelection& operator=(const CbmSelection&) = delete;
    CbmSelection(CbmSelection&&) noexcept;
    CbmSelection& operator=(CbmSelection&&) noexcept;

    // ---- Parsing (cbm_selection.cpp) ----
    // A kind the command does not support; parsing a selector of it fails.
    CbmSelection& refuseKind(SelectorKind kind);
    // With nesting disabled any ":" outside braces fails the parse.
    CbmSelection& setNestingDisabled(bool disabled);
    // Clears, then parses; false with the reason in errors().
    bool parseSelection(std::string_view text);
    // Text back to "*", no nodes, no frames, no messages.
    void clear();

    const std::vector<std::string>& errors() const { return messages_; }
    // Whether errors()[index] goes with --quiet: a container that could not be expanded.
    bool isQuietable(std::size_t index) const { return index < quietable_.size() && quietable_[index]; }
    const std::string& text() const { return text_; }
    // The result of the last parse, then of the last processing.
    bool isValid() const { return valid_; }
    const node_list& selectors() const { return root_; }
    // The list walkLists is visiting (the root list at rest).
    const node_list& currentList() const { return current_ ? *current_ : root_; }

    // Depth first, siblings in order, a node before its children (children of
    // nested nodes only); stops as soon as fn returns false.
    bool walkPreorder(const std::function<bool(file_selector&)>& fn);
    bool walkPreorder(const std::function<bool(const file_selector&)>& fn) const;
    // The root list, then the child list of every nested node, first in first
    // out; each list becomes the current list before fn sees it.
    bool walkLists(const std::function<bool(const node_list&)>& fn);
    // Debugging aid: one " > text  [frame]" line per node in preorder.
    void prettyprintPreorder(std::ostream& out) const;

    // ---- Applying (selection_apply.cpp) ----
    // Nesting deeper than kMaxNestingDepth, or into a directory already entered on the way
    // down, is skipped with a warning.
    // Applies the tree to a container. Frame 0 is the disk in the directory
    // it is in when given, and the disk is left there; nested nodes add
    // frames for the partitions, subdirectories, archives and zipcode sets
    // they descend into. Frames point at the disk until the next processing.
    // A listing draws one group per frame: the entries i of enterFrame(f)
    // for which isIndexSelectedInFrame(i, f) holds.
    selection_result_t processSelection(Disk& disk);
    // The disk of the node's frame, with the frame's directories entered (and
    // left entered); null for a node whose enclosing entry was not descended
    // into.
    Disk* enterFrame(const file_selector& node);
    Disk* enterFrame(std::uint64_t frame);
    // The entry at `index` of the node's frame is taken for this node: the
    // node holds it, is not negated, and no negated node of its frame holds it.
    bool isIndexSelected(std::uint64_t index, const file_selector& node) const;
    // The same for a whole frame: some node of it takes the entry.
    bool isIndexSelectedInFrame(std::uint64_t index, std::uint64_t frame) const;
    // Drops the frames (deleting the disks they own) and the messages.
    void resetFrames();
    // One warning text for each name selector that matched no entry in any container processed
    // since the parse (negated ones aside), with a hint when the name has lower-case letters:
    // they are the shifted PETSCII letters, not the capitals a listing shows.
    std::vector<std::string> unmatchedNameWarnings() const;

    const std::vector<selection_frame_t>& frames() const { return frames_; }
    std::uint64_t entriesSelected() const { return entriesSelected_; }
    std::uint64_t entriesExcluded() const { return entriesExcluded_; }
    std::uint64_t blocksSelected() const { return blocksSelected_; }

private:
    // Parsing
    bool splitSelection();
    bool appendNode(node_list& list, std::string_view entry, bool nested);
    bool checkSelector(const file_selector& node);
    bool fail(std::string message);
    void note(std::string message, bool quietable = false);

    // Applying
    bool applySelector(file_selector& node);
    void applyByFilename(file_selector& node, Disk& disk);
    bool applyByIndex(file_selector& node, Disk& disk);
    bool applyBlocks(const file_selector& node, const Disk& disk);
    bool descend(file_selector& node, Disk& disk);
    bool descendIntoDirectory(file_selector& node, Disk& disk, const dir_entry_t& entry);
    bool descendIntoFile(file_selector& node, Disk& disk, const dir_entry_t& entry);
    bool descendIntoPartition(file_selector& node, Disk& disk, const dir_entry_t& entry);
    // Appends a frame for a disk the selection holds.
    void appendOpenedFrame(file_selector& node, std::shared_ptr<Disk> opened, const Disk& parent,
                           const dir_entry_t& entry);
    bool loopsBack(std::uint64_t frame, const Disk& disk, const track_sector_t* directory,
                   const track_sector_t& header) const;
    void appendFrame(file_selector& node, selection_frame_t frame);
    bool isNegatedInFrame(std::uint64_t index, std::uint64_t frame) const;
    void leaveDirectories(Disk& disk) const;

    const node_list* current_ = nullptr;  // set only while walkLists runs
    std::string text_ = "*";
    std::uint64_t entriesSelected_ = 0;
    std::uint64_t entriesExcluded_ = 0;
    std::uint64_t blocksSelected_ = 0;
    node_list root_;
    std::vector<SelectorKind> refused_;
    bool nestingDisabled_ = false;
    bool parsed_ = false;  // the last parse succeeded
    bool valid_ = false;
    std::vector<std::string> messages_;
    std::vector<bool> quietable_;  // beside messages_
    std::vector<selection_frame_t> frames_;
    // Directories the caller had entered on the frame-0 disk.
    std::size_t baseDirectoryDepth_ = 0;
};

}  // namespace platter
