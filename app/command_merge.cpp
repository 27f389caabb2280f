#include "app/command_merge.hpp"

#include <algorithm>
#include <iostream>

#include "app/argument_loop.hpp"
#include "app/argument_texts.hpp"
#include "app/file_arguments.hpp"
#include "app/damage_report.hpp"
#include "app/entry_read_report.hpp"
#include "app/options.hpp"
#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "forge/save_file.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_argument.hpp"
#include "platter/petscii/text_to_petscii.hpp"

namespace app {

namespace {

constexpr std::string_view kDefaultOutput = "out.reu";
// The data of every separator and header entry.
constexpr std::uint8_t kMarkerData[] = {'Z', 'T', '/', 'K', '.'};
constexpr std::uint8_t kMarkerType = 0xC3;
constexpr std::uint8_t kMarkerName = 0xC0;
constexpr std::size_t kHeaderPathLength = 14;

std::string outputPath() { return g_option_out.isSet() ? g_option_out.value(0) : std::string(kDefaultOutput); }

// D64 (35, 40 and 42 tracks, cut short too), D71, D81 and the CMD D2M and D4M, with or
// without error bytes.
bool isMergeable(platter::format_id format) {
    using platter::format_id;
    return format == format_id::d64 || format == format_id::d71 || format == format_id::d81 ||
           format == format_id::d2m || format == format_id::d4m;
}

// A partition or subdirectory holds files of its own, not file data.
const char* containerKind(const platter::Disk& disk, const platter::dir_entry_t& entry) {
    if (entry.fileType() == platter::kTypeCbm && disk.hasCbmPartitions()) return "a CBM partition";
    if (entry.fileType() == platter::kTypeDir && disk.hasNativeSubdirectories()) return "a subdirectory";
    return nullptr;
}

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

platter::dir_entry_t CommandMerge::makeSeparatorEntry() {
    platter::dir_entry_t entry;
    entry.bytes[2] = kMarkerType;
    std::fill_n(entry.bytes.begin() + platter::dir_entry_t::kNameOffset, platter::dir_entry_t::kNameLength,
                kMarkerName);
    return entry;
}

platter::dir_entry_t CommandMerge::makeHeaderEntry(const std::string& path) {
    platter::dir_entry_t entry;
    entry.bytes[2] = kMarkerType;
    auto name = entry.bytes.begin() + platter::dir_entry_t::kNameOffset;
    std::fill_n(name, platter::dir_entry_t::kNameLength, std::uint8_t{' '});
    name[0] = kMarkerName;
    // Lower and upper case as typed; a character PETSCII lacks keeps its code.
    for (std::size_t i = 0; i < std::min(path.size(), kHeaderPathLength); ++i) {
        const std::uint32_t petscii =
            forge::charToPetscii(static_cast<std::uint8_t>(path[i]), platter::Charset::lowerUpper, true);
        name[static_cast<std::ptrdiff_t>(i + 2)] = static_cast<std::uint8_t>(petscii >> 8);
    }
    return entry;
}

int CommandMerge::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.empty()) return reportUsageWithoutFile(getopt);
    if (reportNamelessOutput(getopt, outputPath(), "'" + g_option_out.matchedName() + "'")) return 1;
    if (!checkArguments(arguments)) return 1;

    writer_.writeHeader();
    std::size_t merged = 0;
    ArgumentLoop loop(reporter_);
    loop.onFile = [&](const std::string& path) {
        if (mergeImage(path) && g_option_separators.isSet() && ++merged < arguments.size())
            addMarker(makeSeparatorEntry());
    };
    loop.onDirectory = [this](const std::string& path, const FileHandler&) {
        reporter_.error("failed to open/read " + quoted(path) + ".", Reporter::kQuietErrors);
    };
    loop.stopped = [this] { return reporter_.failed(); };
    if (loop.run(arguments) != 0) return 1;
    return writeContainer() && !mergedInPart_ ? 0 : 1;
}

// Every argument is checked before any work, so that a typo costs no time.
bool CommandMerge::checkArguments(const std::vector<std::string>& arguments) {
    for (const std::string& argument : arguments) {
        const auto [path, selector] = splitPathSelector(argument);
        if (!selector.empty()) {
            reporter_.error("cbm selectors not supported in 'zt merge'", Reporter::kNever);
            return false;
        }
        if (!forge::exists(path)) {
            reporter_.error("could not find " + quoted(path) + " - does it exist?", Reporter::kQuietErrors);
            return false;
        }
    }
    return true;
}

bool CommandMerge::mergeImage(const std::string& path) {
    // The container is written last, over whatever its path names.
    if (forge::isSameFile(path, outputPath())) {
        reporter_.error("cannot write to " + quoted(outputPath()) + "; it is one of the images being merged",
                        Reporter::kQuietErrors);
        return false;
    }
    // Opened as ls opens it; the kinds merge does not take are refused in its own words.
    platter::opened_container_t opened = platter::openContainerArgument(path);
    if (!opened.read) {
        reporter_.error("failed to open/read " + quoted(path) + ".", Reporter::kQuietErrors);
        return false;
    }
    if (!isMergeable(opened.format)) {
        reporter_.error("cannot merge from " + quoted(path) + "; file is not a supported disk image.",
                        Reporter::kQuietErrors);
        return false;
    }
    if (!opened.disk) {
        reporter_.error("failed to read " + quoted(path) + " as a CBM container. ", Reporter::kQuietErrors);
        return false;
    }
    reporter_.report(opened.messages);
    // A damaged image gives the files it holds whole; the run fails, as what is lost is not merged.
    reportDamage(reporter_, *opened.disk, forge::fileName(path));
    if (!opened.disk->damage().whole()) mergedInPart_ = true;
    return mergeFiles(*opened.disk, path);
}

bool CommandMerge::mergeFiles(platter::Disk& disk, const std::string& path) {
    bool headed = !g_option_headers.isSet();
    platter::dir_entry_t entry;
    for (std::uint64_t index = 0; disk.getEntry(index, true, entry); ++index) {
        if (platter::isEmptyEntry(entry) || entry.isSplat() || entry.fileType() == platter::kTypeDel) continue;
        const std::string where = "'" + path + "': entry [" + std::to_string(index) + "]";
        if (const char* kind = containerKind(disk, entry)) {
            reporter_.warning(where + " is " + kind + ", not a file; skipped");
            continue;
        }
        // Only whole files are merged: an entry without blocks (first track 0) as an empty one.
        const platter::entry_read_t read = disk.readEntry(entry);
        if (!read.whole()) {
            const std::optional<std::string> problem = readProblemText(read, index, disk.directoryStart().track);
            reporter_.error(problem ? "'" + path + "': " + *problem : where + " could not be read",
                            Reporter::kQuietErrors);
            return false;
        }
        // Merged as read, but the GEOS Convert form cannot count all of a long record's blocks.
        for (const std::string& warning : recordsCountedShortWarnings(read, entry, platter::Charset::upperGraphics)) {
            reporter_.warning("'" + path + "': " + warning, Reporter::kQuietErrors);
            mergedInPart_ = true;
        }
        if (!headed) {
            headed = true;
            if (!addMarker(makeSeparatorEntry()) || !addMarker(makeHeaderEntry(path)) ||
                !addMarker(makeSeparatorEntry()))
                return false;
        }
        if (!add(entry, read.bytes)) return false;
    }
    return true;
}

bool CommandMerge::add(const platter::dir_entry_t& entry, std::span<const std::uint8_t> data) {
    if (writer_.addFile(entry, data)) return true;
    reporter_.error("the merged files do not fit in the 16 MiB container", Reporter::kQuietErrors);
    return false;
}

bool CommandMerge::addMarker(const platter::dir_entry_t& entry) { return add(entry, kMarkerData); }

bool CommandMerge::writeContainer() {
    writer_.finish();
    const std::string target = outputPath();
    reporter_.warning("the RAMDOS program is not included: bytes 0x0300-0x1fff of '" + target +
                      "' are zeros in its place");
    if (const auto failure = forge::saveFile(target, writer_.bytes())) {
        reporter_.error(failure->text, Reporter::kQuietErrors);
        reporter_.error("program aborted", Reporter::kQuietErrors);
        return false;
    }
    return true;
}

}  // namespace app
