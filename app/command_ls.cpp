#include "app/command_ls.hpp"

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/selection_report.hpp"
#include "app/options.hpp"
#include "app/program_state.hpp"
#include "app/listing_canonical.hpp"
#include "app/listing_columns.hpp"
#include "app/listing_delimited.hpp"
#include "app/listing_fields.hpp"
#include "forge/files.hpp"
#include "forge/log.hpp"
#include "forge/numbers.hpp"
#include "forge/paths.hpp"
#include "forge/terminal.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/nested_container.hpp"
#include "platter/petscii/petscii_text.hpp"
#include "platter/petscii/zipcode_names.hpp"

#include <iostream>
#include <utility>

namespace app {

namespace {

using platter::SelectorKind;

void warnDeprecated(Reporter& reporter, const Option& option, const std::string& name) {
    if (option.isSet())
        reporter.warning(name + " is deprecated and will be removed in a future version", Reporter::kNever);
}

// Puts the selection that takes every entry in the slot while it lives, for the listings inside
// an entry the selection picked; without a slot nothing changes.
class WholeContents {
public:
    WholeContents(platter::CbmSelection* slot, platter::CbmSelection& everyEntry)
        : slot_(slot), everyEntry_(everyEntry) {
        if (slot_) std::swap(*slot_, everyEntry_);
    }
    ~WholeContents() {
        if (slot_) std::swap(*slot_, everyEntry_);
    }
    WholeContents(const WholeContents&) = delete;
    WholeContents& operator=(const WholeContents&) = delete;

private:
    platter::CbmSelection* slot_;
    platter::CbmSelection& everyEntry_;
};

}  // namespace

int CommandLs::run(forge::getopt::Getopt& getopt) {
    if (!readIndent(getopt) || !checkAsciiFallback(getopt)) return 1;
    warnAboutOptions();
    if (g_option_lowercase.isSet() || (g_option_case.isSet() && g_option_case.value(0) == "lower"))
        charset_ = platter::Charset::lowerUpper;
    if (g_option_color.isSet()) g_console.setColor(true);
    makeRender();

    loop_.onSelector = [this](const std::string&, const std::string& selector) { return parseSelector(selector); };
    loop_.onFile = [this](const std::string& path) { listFile(path); };
    loop_.onDirectory = [this](const std::string& path, const FileHandler&) { listDirectory(path); };
    loop_.onContainer = [this](platter::Disk& disk, const std::string& name) { listContainer(disk, name); };
    loop_.afterArgument = [this] {
        for (const std::string& text : render_->selection.unmatchedNameWarnings()) reporter_.warning(text);
    };
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    const int status = arguments.empty() ? listStandardInput(getopt) : loop_.run(arguments);
    if (g_console.colorOn()) g_console.normal();
    render_.reset();
    return status;
}

// A step beyond the limit is refused like any malformed option, before anything is listed.
bool CommandLs::readIndent(const forge::getopt::Getopt& getopt) {
    if (!g_option_indent.isSet()) return true;
    const std::string value = g_option_indent.value(0);
    const std::int64_t step = forge::parseNumber(value);
    if (step >= 0 && static_cast<std::uint64_t>(step) <= kMaxIndentStep) {
        indentStep_ = static_cast<std::uint64_t>(step);
        return true;
    }
    forge::logFatal([&] {
        std::cerr << g_option_indent.matchedName() << " must be an integer from 0 to " << kMaxIndentStep << " (found: '"
                  << value << "')";
    });
    getopt.printTryHelp(std::cerr);
    return false;
}

// The fallback replaces characters in US-ASCII output, so it must be one itself.
bool CommandLs::checkAsciiFallback(const forge::getopt::Getopt& getopt) {
    if (!g_option_ascii_fall.isSet()) return true;
    const std::string value = g_option_ascii_fall.value(0);
    if (value.empty() || static_cast<unsigned char>(value.front()) < 0x80) return true;
    forge::logFatal([&] {
        std::cerr << g_option_ascii_fall.matchedName() << " must be an ASCII character (found: '" << value << "')";
    });
    getopt.printTryHelp(std::cerr);
    return false;
}

void CommandLs::warnAboutOptions() {
    warnDeprecated(reporter_, g_option_color_header, "-H/--color-header");
    warnDeprecated(reporter_, g_option_case, "--case");
    warnDeprecated(reporter_, g_option_columns, "--columns");
    if (g_option_delim.isSet() && collectFields().empty()) {
        reporter_.warning("delimiter option '" + g_option_delim.matchedName() + "' ignored unless paired with " +
                              g_option_fields.displayName() + " or " + g_option_long.displayName(),
                          Reporter::kNever);
        g_option_delim.reset();
    }
    if (g_option_xcolor.isSet() && g_option_color.isSet()) {
        forge::logWarning("color suppression flag (", g_option_xcolor.matchedName(), ") overrides color flag (",
                          g_option_color.matchedName(), ").");
        g_option_color.reset();
    }
    if (g_option_xcolor.isSet() && g_option_color_header.isSet()) {
        forge::logWarning("color suppression flag (", g_option_xcolor.matchedName(), ") overrides color headers flag (",
                          g_option_color_header.matchedName(), ").");
        g_option_color_header.reset();
    }
}

// --long's seven columns, then --fields, then --columns; a field named twice
// is two columns.
std::vector<std::int32_t> CommandLs::collectFields() const {
    std::vector<std::int32_t> fields;
    if (g_option_long.isSet()) {
        for (std::int32_t id = kFieldBlocks; id <= kFieldStl; ++id) fields.push_back(id);
    }
    for (const Option* option : {&g_option_fields, &g_option_columns}) {
        if (!option->isSet()) continue;
        for (const std::string& name : option->values()) {
            if (const std::optional<std::int32_t> id = fieldIdByName(name)) fields.push_back(*id);
        }
    }
    return fields;
}

void CommandLs::makeRender() {
    std::vector<std::int32_t> fields = collectFields();
    if (fields.empty())
        render_ = std::make_unique<RenderCanonical>();
    else if (g_option_delim.isSet())
        render_ = std::make_unique<RenderDelimited>(g_option_delim.value(0));
    else
        render_ = std::make_unique<RenderColumns>();
    render_->fields = std::move(fields);
    render_->settings.human = g_option_human.isSet();
    render_->settings.almostAll = g_option_almost_all.isSet();
    render_->settings.noFooter = g_option_xfree.isSet();
    render_->settings.noHeader = g_option_xheader.isSet() || g_option_delim.isSet();
    render_->settings.zeroPadTs = g_option_zeropad_ts.isSet();
    render_->selection.refuseKind(SelectorKind::DirectoryChain)
        .refuseKind(SelectorKind::BlockChain)
        .refuseKind(SelectorKind::BlockData)
        .refuseKind(SelectorKind::TrackData)
        .setNestingDisabled(g_option_deep.isSet());
    everyEntry_.parseSelection("*");
}

int CommandLs::listStandardInput(const forge::getopt::Getopt& getopt) {
    if (forge::isTerminal(std::cin)) {
        return reportMissingFile(getopt);
    }
    render_->selection.parseSelection("*");
    return loop_.openStandardInput();
}

// A selector that does not parse ends the run; every other failure is
// reported and the next argument follows.
bool CommandLs::parseSelector(const std::string& selector) {
    platter::CbmSelection& selection = render_->selection;
    const bool parsed = selection.parseSelection(selector.empty() ? "*" : selector);
    reporter_.relay(selection);
    return parsed;
}

void CommandLs::listFile(const std::string& path) {
    if (!isRepeatedZipcodePart(path)) loop_.openFile(path);
}

void CommandLs::listDirectory(const std::string& path) {
    zipcodeSets_.clear();
    if (g_option_recurse.isSet())
        loop_.walk(path);
    else
        reporter_.notice("'" + path + "': Skipping directory.");
}

// The argument loop told the container's damage; an image that is not whole lists what it holds.
void CommandLs::listContainer(platter::Disk& disk, const std::string& path) {
    level_ = 0;
    if (g_option_deep.isSet())
        listDeep(disk, path, true);
    else
        processDisk(disk, path);
}

// Sets are told apart by directory and set name, so parts of equally named
// sets in two directories are both listed.
bool CommandLs::isRepeatedZipcodePart(const std::string& path) {
    const std::string name = forge::fileName(path);
    const std::optional<platter::zipcode_part_name_t> part = platter::zipcodePartName(name);
    if (!part) return false;
    const std::string_view prefix = part->sixParts ? "!!" : "!";
    return !zipcodeSets_.insert(forge::dirName(path) + std::string(prefix) + std::string(part->setName)).second;
}

// Processes the selection on the container and prints its messages (with
// printAlways unset only after a failure or a match); false on failure.
bool CommandLs::applySelection(platter::Disk& disk, bool printAlways, std::uint64_t& count) {
    platter::CbmSelection& selection = render_->selection;
    disk.setIncludeEmpty(true);
    const platter::selection_result_t result = selection.processSelection(disk);
    if (printAlways || !result.ok || result.count != 0) reporter_.relay(selection);
    reportOpenedFrames(selection, reporter_);
    count = result.count;
    if (!result.ok) reporter_.fail();
    return result.ok;
}

// One listing per frame of the selection that holds a selector of its own
// (not only nested ones): the container itself, or a partition, subdirectory
// or archive a selector descended into.
bool CommandLs::processDisk(platter::Disk& disk, const std::string& path) {
    std::uint64_t count = 0;
    if (!applySelection(disk, true, count)) return false;
    platter::CbmSelection& selection = render_->selection;
    // A selector that matches nothing lists nothing, but "*" on an empty
    // directory still shows its header and free blocks.
    if (count == 0 && selection.text() != "*") return true;
    const std::string prefix = linePrefix();
    for (std::uint64_t frame = 0; frame < selection.frames().size(); ++frame) {
        bool listed = false;
        selection.walkPreorder([&](const platter::file_selector& node) {
            listed = listed || (node.frame == frame && !node.nested);
            return true;
        });
        if (!listed) continue;
        platter::Disk* image = selection.enterFrame(frame);
        if (image == nullptr) continue;
        printPathHeader(std::cout, path, "");
        render_->prepare(*image, path, charset_, frame);
        render_->renderListing(*image, prefix);
        // The report of the container, and of each one opened inside it, told its directory.
        warnAboutChains(*image, path, frame != 0 && !selection.frames()[frame].ownedDisk);
    }
    return true;
}

bool CommandLs::listDeep(platter::Disk& disk, const std::string& path, bool directoryTold) {
    std::uint64_t count = 0;
    if (!applySelection(disk, false, count)) return false;
    render_->prepare(disk, path, charset_);
    render_->renderListing(disk, linePrefix());
    warnAboutChains(disk, path, !directoryTold);
    listNestedEntries(disk, path);
    return true;
}

// Entries up to the first empty slot (every entry of a partition table); zipcode sets once
// each. An entry's data is read only when its name says it holds an archive. The selection
// picks among the entries of the top level; what those hold is listed whole.
void CommandLs::listNestedEntries(platter::Disk& disk, const std::string& path) {
    const bool top = level_ == 0;
    std::set<std::string> zipcodeSets;
    for (std::uint64_t i = 0;; ++i) {
        platter::dir_entry_t entry;
        if (!disk.getEntry(i, true, entry)) break;
        // A CBM directory ends at its first empty slot; a partition table has them anywhere.
        if (platter::isEmptyEntry(entry)) {
            if (disk.hasPartitionTable()) continue;
            break;
        }
        if (top && !render_->isSelected(i)) continue;
        const WholeContents whole(top ? &render_->selection : nullptr, everyEntry_);
        switch (platter::nestedKindOf(disk, entry)) {
            case platter::nested_kind::directory: listSubdirectory(disk, path, i, entry); break;
            case platter::nested_kind::partition: listPartition(disk, path, i, entry); break;
            case platter::nested_kind::archive:
                if (platter::isZipcodePartEntry(entry) && !zipcodeSets.insert(platter::zipcodeSetName(entry)).second)
                    break;
                listArchive(disk, path, i, entry);
                break;
            case platter::nested_kind::file: break;
        }
    }
}

// An entry whose area its kind cannot use is named and not entered.
bool CommandLs::skipsAreaFault(const platter::Disk& disk, const std::string& path, std::uint64_t index,
                               const platter::dir_entry_t& entry) {
    const platter::block_range_fault fault = disk.partitionFault(entry);
    if (fault == platter::block_range_fault::none) return false;
    reporter_.warning("'" + forge::fileName(path) +
                      "': " + partitionFaultText(index, fault, disk.directoryStart().track) + "; skipping");
    return true;
}

void CommandLs::listSubdirectory(platter::Disk& disk, const std::string& path, std::uint64_t index,
                                 const platter::dir_entry_t& entry) {
    if (skipsAreaFault(disk, path, index, entry)) return;
    platter::track_sector_t first;
    if (!disk.openDirectory(entry, first, false)) return;
    if (mayDescend(index)) {
        depth_ += indentStep_;
        ++level_;
        if (!g_option_delim.isSet()) printNestingLine(index, entry);
        listDeep(disk, path, false);
        --level_;
        depth_ -= indentStep_;
    }
    disk.closeDirectory(false);
}

// Entries that hold no partition (the system entry, kinds without an image class) are
// listed in the table only.
void CommandLs::listPartition(platter::Disk& disk, const std::string& path, std::uint64_t index,
                              const platter::dir_entry_t& entry) {
    if (skipsAreaFault(disk, path, index, entry)) return;
    const std::shared_ptr<platter::Disk> partition = disk.openPartition(entry);
    if (!partition || !mayDescend(index)) return;
    partition->setIncludeEmpty(disk.includeEmpty());
    depth_ += indentStep_;
    ++level_;
    if (!g_option_delim.isSet()) printNestingLine(index, entry);
    reportDamage(reporter_, *partition, platter::petsciiNameToUtf8(entry.name(), false));
    listDeep(*partition, path, true);
    --level_;
    depth_ -= indentStep_;
}

void CommandLs::listArchive(platter::Disk& disk, const std::string& path, std::uint64_t index,
                            const platter::dir_entry_t& entry) {
    if (!mayDescend(index)) return;
    depth_ += indentStep_;
    if (!g_option_delim.isSet()) printNestingLine(index, entry);
    const platter::nested_open_t expanded = platter::openNestedContainer(disk, entry);
    if (expanded.data == platter::nested_data::notArchive)
        reporter_.warning("file has archive extension but wasn't identified as an archive format");
    if (expanded.data == platter::nested_data::unsupportedArchive)
        reporter_.warning("file was identified as a currently unsupported archive format");
    if (expanded.disk) {
        reportDamage(reporter_, *expanded.disk, platter::petsciiNameToUtf8(entry.name(), false));
        ++level_;
        listDeep(*expanded.disk, path, true);
        --level_;
    } else if (!expanded.failure.empty()) {
        reporter_.error(expanded.failure);
    } else if (expanded.data == platter::nested_data::notArchive) {
        // Identification already said the entry holds no archive: it was listed as what it
        // is, so the failed attempt is no failure of the listing.
        reporter_.errorWithoutFailure("could not expand archive");
    }
    depth_ -= indentStep_;
}

// Chains that turn back, leave the disk or run into its structure: the listing shows what they
// reached, a warning says where. The directory's own, when no report told it.
void CommandLs::warnAboutChains(const platter::Disk& disk, const std::string& path, bool withDirectory) {
    const std::string name = "'" + forge::fileName(path) + "': ";
    if (withDirectory) {
        const platter::disk_damage_t damage = disk.damage();
        if (const auto text = directoryStopText(damage.directoryKind, damage.directory))
            reporter_.warning(name + *text);
    }
    for (const listed_entry_t& listed : render_->entries()) {
        const platter::chain_end end = listed.chainStop.end;
        if (end == platter::chain_end::turnsBack || end == platter::chain_end::leaves ||
            end == platter::chain_end::structure) {
            reporter_.warning(
                name + chainStopText("the chain of entry [" + std::to_string(listed.index) + "]", listed.chainStop));
        }
    }
}

bool CommandLs::mayDescend(std::uint64_t index) {
    if (level_ < platter::kMaxNestingDepth) return true;
    reporter_.warning("entry [" + std::to_string(index) + "] nests deeper than " +
                      std::to_string(platter::kMaxNestingDepth) + " levels; skipping");
    return false;
}

void CommandLs::printNestingLine(std::uint64_t index, const platter::dir_entry_t& entry) const {
    std::cout << '\n'
              << std::string(std::max<std::uint64_t>(depth_, 1), ' ') << '[' << index << "] \""
              << render_->entryNameText(entry, charset_, false) << "\"\n";
}

std::string CommandLs::linePrefix() const { return std::string(depth_, ' ') + (depth_ != 0 ? "| " : ""); }
}  // namespace app
