#include "app/command_diff.hpp"

#include "app/argument_texts.hpp"
#include "app/damage_report.hpp"
#include "app/option_numbers.hpp"
#include "app/options.hpp"
#include "app/program_state.hpp"
#include "forge/files.hpp"
#include "forge/numbers.hpp"
#include "forge/paths.hpp"
#include "platter/core/disk.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/open/open_argument.hpp"

#include <iostream>

namespace app {

// Every problem with the arguments is reported before anything goes to
// standard output.
int CommandDiff::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.size() < 2) return reportUsageError(getopt, "missing at least one of DISK1 or DISK2.");
    if (arguments.size() > 2) return reportUsageError(getopt, "extra file arguments found after DISK1 and DISK2.");
    std::optional<image_t> first = openImage(arguments[0]);
    if (!first) return 1;
    std::optional<image_t> second = openImage(arguments[1]);
    if (!second) return 1;
    if (!comparableTypes(first->type, second->type)) {
        std::cerr << "error: can't compare disk types: '" << platter::fileid::typeName(first->type) << "' vs. '"
                  << platter::fileid::typeName(second->type) << "'\n";
        return 1;
    }
    if (!readSettings(*first, *second)) return 1;
    noteComparedTracks(*first, *second);
    const std::vector<block_comparison_t> records = compareDisks(*first->disk, *second->disk);
    noteMissingBlocks(*first, *second);
    if (g_option_bam.isSet()) printMap(std::cout, records);
    printReport(std::cout, records);
    return 0;
}

std::optional<CommandDiff::image_t> CommandDiff::openImage(const std::string& path) {
    if (!forge::exists(path)) {
        std::cerr << "error: could not find \"" << path << "\" - does it exist?\n";
        return std::nullopt;
    }
    if (forge::isDirectory(path)) {
        std::cerr << "error: \"" << path << "\" is a directory.\n";
        return std::nullopt;
    }
    // Opened as ls opens it; the kinds diff does not compare are refused in its own words.
    platter::opened_container_t opened = platter::openContainerArgument(path);
    // An image whose type diff does not know (opened by its extension, or cut short) counts as
    // the kind it opened as; one whose kind could not open it says why, in the open step's words.
    const bool byExtension = opened.type == 0 && !opened.nothingToOpen;
    std::uint32_t type = opened.type;
    if (opened.disk && !isBlockBasedType(type)) type = blockBasedTypeOf(opened.format);
    if (opened.read && (opened.disk || !byExtension) && !isBlockBasedType(type)) {
        std::cerr << "error: cannot diff \"" << path << "\"; not a block-based disk image. \n";
        return std::nullopt;
    }
    if (!opened.disk) {
        reporter_.report(opened.messages, Reporter::kNever);
        return std::nullopt;
    }
    // The blocks a damaged image lacks are compared as having no data, and named.
    reportDamage(reporter_, *opened.disk, forge::fileName(path));
    return image_t{path, type, std::move(opened.disk)};
}

bool CommandDiff::readSettings(const image_t& first, const image_t& second) {
    if (g_option_track.isSet()) {
        const std::optional<std::uint64_t> track = optionNumber(g_option_track, kMaxOptionNumber, reporter_);
        if (!track) return false;
        settings.track = *track;
        settings.trackGiven = true;
        for (const image_t* image : {&first, &second}) {
            if (settings.track > image->disk->trackCount()) {
                std::cerr << "error: track " << settings.track << " exceeds maximum track on '"
                          << forge::fileName(image->path) << "'\n";
                return false;
            }
        }
    }
    settings.ignoreErrors = g_option_xerr.isSet();
    settings.color = g_option_color.isSet();
    settings.legend = g_option_legend.isSet();
    settings.verbose = g_option_verbose.isSet();
    if (settings.color) g_console.setColor(true);
    return true;
}

void CommandDiff::noteComparedTracks(const image_t& first, const image_t& second) const {
    const std::uint64_t a = first.disk->trackCount();
    const std::uint64_t b = second.disk->trackCount();
    if (a == b) return;
    std::cerr << "notice: \"" << first.path << "\" has " << a << " tracks, \"" << second.path << "\" has " << b
              << "; comparing ";
    if (settings.track != 0)
        std::cerr << "track " << settings.track << "\n";
    else
        std::cerr << "tracks 1 to " << std::min(a, b) << "\n";
}

void CommandDiff::noteMissingBlocks(const image_t& first, const image_t& second) const {
    for (const missing_block_t& block : missing_) {
        std::cerr << "notice: block " << block.track << "," << block.sector << " has no data in \""
                  << (block.side == 0 ? first.path : second.path) << "\"; counted as 256 differing bytes\n";
    }
}

}  // namespace app
