#include "app/command_zip.hpp"

#include <cstdio>
#include <iostream>
#include <optional>

#include "app/argument_texts.hpp"
#include "app/options.hpp"
#include "forge/files.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "forge/save_file.hpp"
#include "forge/strings.hpp"
#include "platter/archive/zipcode_writer.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/reachable_blocks.hpp"
#include "platter/fileid/type_ids.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/open_container.hpp"

namespace app {

namespace {

namespace type_id = platter::fileid::type_id;

constexpr std::uint64_t kImageSize35 = 174848;
constexpr std::uint64_t kImageSize40 = 196608;

std::string inQuotes(const std::string& path) { return "\"" + path + "\""; }

std::string partPrefix(std::size_t part) { return std::to_string(part + 1) + "!"; }

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

// One line per part, dashes under the sizes, the total and what the set saves; the saving
// is negative for data that packing only makes longer.
void printStatistics(const std::string& name, const std::vector<std::vector<std::uint8_t>>& parts,
                     std::uint64_t imageSize) {
    const std::size_t width = forge::displayWidth(name) + 10;
    std::int64_t total = 0;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        std::cout << partPrefix(part) << name << ":  " << rightAligned(std::to_string(parts[part].size()), 5) << '\n';
        total += static_cast<std::int64_t>(parts[part].size());
    }
    const std::int64_t saved = static_cast<std::int64_t>(imageSize) - total;
    const std::int64_t percent = saved * 100 / static_cast<std::int64_t>(imageSize);
    std::cout << rightAligned("------", width) << '\n'
              << rightAligned(std::to_string(total), width) << " bytes\n"
              << rightAligned(std::to_string(saved), width) << " bytes saved ("
              << rightAligned(std::to_string(percent), 4) << "%)\n";
}

}  // namespace

int CommandZip::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.size() < 2) return reportUsageError(getopt, "missing at least one of FILE or ZIPNAME.");
    if (arguments.size() > 2) return reportUsageError(getopt, "extra file arguments found after FILE and ZIPNAME.");
    if (reportNamelessOutput(getopt, arguments[1], "ZIPNAME")) return 1;
    std::vector<std::vector<std::uint8_t>> parts;
    std::uint64_t imageSize = 0;
    if (!pack(arguments[0], parts, imageSize) || !writeParts(arguments[0], arguments[1], parts)) return 1;
    if (forge::g_quiet_level == 0) printStatistics(forge::fileName(arguments[1]), parts, imageSize);
    return 0;
}

bool CommandZip::pack(const std::string& file, std::vector<std::vector<std::uint8_t>>& parts,
                      std::uint64_t& imageSize) {
    forge::file_t read;
    if (!forge::exists(file)) {
        reporter_.error("could not find " + inQuotes(file) + " - does it exist?", Reporter::kQuietErrors);
        return false;
    }
    if (!forge::readFile(file, read)) {
        reporter_.error("failed to open/read " + inQuotes(file) + ".", Reporter::kQuietErrors);
        return false;
    }
    const std::uint32_t type = platter::firstIdentifiedType(read.data);
    const bool fortyTracks = type == type_id::d64_40 || type == type_id::d64_40_e;
    if (!fortyTracks && type != type_id::d64 && type != type_id::d64_35 && type != type_id::d64_35_e) {
        reporter_.error("cannot zip " + inQuotes(file) + "; file is not a 35 or 40 track .d64", Reporter::kQuietErrors);
        return false;
    }
    if (type == type_id::d64_35_e || type == type_id::d64_40_e)
        reporter_.warning("error data in the .d64 cannot be preserved in a zip set.", Reporter::kQuietWarnings);
    std::uint64_t tracks = fortyTracks && !g_option_four.isSet() ? 40 : 35;
    const platter::open_result_t opened = platter::openContainer(platter::format_id::d64, file, std::move(read.data));
    std::optional<platter::ReachableBlocks> reachable;
    platter::zipcode_zero_fill zeroFill;
    if (opened && g_option_free.isSet()) {
        reachable.emplace(*opened.disk);
        zeroFill = [&reachable](const platter::track_sector_t& block) { return reachable->isUnused(block); };
    }
    if (!opened || !platter::writeZipcode(parts, *opened.disk, tracks, zeroFill, g_option_block.isSet())) {
        reporter_.error("cannot read " + inQuotes(file) + " as a .d64", Reporter::kQuietErrors);
        return false;
    }
    imageSize = tracks == 40 ? kImageSize40 : kImageSize35;
    return true;
}

bool CommandZip::writeParts(const std::string& file, const std::string& zipName,
                            const std::vector<std::vector<std::uint8_t>>& parts) {
    const std::string directory = forge::dirName(zipName);
    const std::string name = forge::fileName(zipName);
    // A part 5 left beside a new four-part set would make it unzip as 40 tracks of old data.
    const std::string fifth = directory + partPrefix(4) + name;
    if (parts.size() < 5 && forge::exists(fifth)) {
        reporter_.error("'" + fifth + "' belongs to an older set; remove it first", Reporter::kQuietErrors);
        return false;
    }
    std::vector<forge::file_to_save_t> files;
    for (std::size_t part = 0; part < parts.size(); ++part) {
        const std::string path = directory + partPrefix(part) + name;
        if (forge::isSameFile(path, file)) {
            reporter_.error("cannot write to " + inQuotes(path) + "; it is the image being zipped",
                            Reporter::kQuietErrors);
            return false;
        }
        files.push_back({path, parts[part]});
    }
    if (const auto failure = forge::saveFiles(files)) {
        reporter_.error(failure->text, Reporter::kQuietErrors);
        reporter_.error("program aborted due to previous error", Reporter::kQuietErrors);
        return false;
    }
    return true;
}

}  // namespace app
