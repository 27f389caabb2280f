#include "app/command_fgrep.hpp"

#include "app/argument_texts.hpp"
#include "app/block_pattern_search.hpp"
#include "app/damage_report.hpp"
#include "app/option_numbers.hpp"
#include "app/options.hpp"
#include "forge/log.hpp"
#include "forge/numbers.hpp"
#include "forge/paths.hpp"
#include "platter/core/block_batch.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_argument.hpp"
#include "platter/petscii/text_to_petscii.hpp"

#include <algorithm>
#include <iostream>

namespace app {

namespace {

// Bytes 0 and 1 of a block link it to the next; the data follows.
constexpr std::size_t kLinkBytes = 2;

}  // namespace

int CommandFgrep::run(forge::getopt::Getopt& getopt) {
    const std::vector<std::string>& arguments = getopt.positionalArguments();
    if (arguments.size() < 2) return reportUsageError(getopt, "missing at least one of PATTERN or FILE.");
    if (!readSettings()) return 1;
    const std::vector<std::uint8_t> pattern = patternBytes(arguments[0]);
    if (pattern.empty()) {
        std::cerr << "error: pattern evaluated to an empty string\n";
        return 1;
    }
    if (pattern.size() > kMaxPatternLength) {
        std::cerr << "error: pattern cannot be greater than 256 bytes long\n";
        return 1;
    }
    const std::vector<std::string> files(arguments.begin() + 1, arguments.end());
    // One stat a FILE, before any output; the open takes it instead of one of its own.
    std::vector<forge::host_file_status_t> statuses;
    statuses.reserve(files.size());
    for (const std::string& path : files) {
        const forge::host_file_status_t& status = statuses.emplace_back(forge::statHostFile(path));
        if (!status.exists) {
            std::cerr << "error: could not find \"" << path << "\" - does it exist?\n";
            return 1;
        }
        if (status.directory) {
            std::cerr << "error: \"" << path << "\" is a directory.\n";
            return 1;
        }
    }
    bool failed = false;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!searchFile(pattern, files[i], statuses[i])) failed = true;
    }
    return failed ? 1 : 0;
}

bool CommandFgrep::readSettings() {
    std::string given;
    unsigned formats = 0;
    for (const Option* option : {&g_option_pattern_ascii, &g_option_pattern_petscii, &g_option_pattern_hex}) {
        if (option->isSet()) {
            given += (formats++ != 0 ? ", " : "") + option->matchedName();
        }
    }
    if (formats > 1) {
        std::cerr << "error: only one pattern format option allowed; found " << given << ".\n";
        return false;
    }
    if (g_option_pattern_ascii.isSet())
        settings.format = pattern_format::ascii;
    else if (g_option_pattern_petscii.isSet())
        settings.format = pattern_format::petscii;
    else if (g_option_pattern_hex.isSet())
        settings.format = pattern_format::hex;
    if (g_option_with_matches.isSet())
        settings.mode = output_mode::withMatches;
    else if (g_option_without_match.isSet())
        settings.mode = output_mode::withoutMatch;
    else if (g_option_count.isSet())
        settings.mode = output_mode::count;
    settings.byteOffset = g_option_byte_offset.isSet();
    settings.noFilename = g_option_no_filename.isSet();
    if (g_option_max_count.isSet()) {
        settings.maxCount = optionNumber(g_option_max_count, kMaxOptionNumber, reporter_);
        if (!settings.maxCount) return false;
    }
    return true;
}

std::vector<std::uint8_t> CommandFgrep::patternBytes(const std::string& text) const {
    if (text.empty()) return {};
    switch (settings.format) {
        case pattern_format::ascii: return {text.begin(), text.end()};
        case pattern_format::hex: return forge::hexToBytes(text);
        case pattern_format::unspecified:
            if (text.front() == '$') return forge::hexToBytes(text);
            break;
        case pattern_format::petscii: break;
    }
    return forge::textToPetscii(text, platter::Charset::lowerUpper, false);
}

// False only for a FILE that cannot be read; one that is no container is
// skipped with a warning.
bool CommandFgrep::searchFile(const std::vector<std::uint8_t>& pattern, const std::string& path,
                             const forge::host_file_status_t& status) {
    platter::opened_container_t opened = platter::openContainerArgument(path, {status, true});
    if (opened.nothingToOpen) {
        reporter_.warning("\"" + path + "\" is not a recognized cbm container; skipping");
        return true;
    }
    reporter_.report(opened.messages);
    if (!opened.disk) return !reporter_.failed();
    const std::string name = forge::fileName(path);
    reportDamage(reporter_, *opened.disk, name);
    printMatches(pattern, *opened.disk, path);
    reportDamageFoundWhileReading(reporter_, *opened.disk, name);
    return true;
}

// A partial match at a block's end goes on at the data of the block its link
// names; a chain's last block (link track 0) names no valid block. Blocks that
// follow one another in memory are searched as one run.
std::vector<fgrep_match_t> CommandFgrep::searchDisk(const std::vector<std::uint8_t>& pattern, platter::Disk& disk,
                                                    std::optional<std::uint64_t> maximum) const {
    std::vector<fgrep_match_t> records;
    // Every block is searched, a batch at a time; the image keeps none of them. A block that
    // holds no data (a sector that did not decode, or one its error byte marks unread) is not
    // searched.
    platter::BlockBatch batch(disk, true);
    platter::BlockBatch linked(disk, true, 1);
    const BlockPatternSearch search(pattern);
    std::size_t runFirst = 0;  // the batch index of the run's first block
    const auto record = [&](const block_hit_t& hit) {
        const std::size_t index = runFirst + hit.block;
        const platter::track_sector_t& block = batch.block(index);
        if (!hit.partial) {
            records.push_back({block.track, block.sector, 0, 0, hit.offset});
        } else {
            const std::uint8_t* bytes = batch.bytes(index);
            const std::size_t rest = pattern.size() - (platter::Disk::kBlockSize - hit.offset);
            const platter::track_sector_t link = platter::makeBlock(bytes[0], bytes[1]);
            if (rest > platter::Disk::kBlockSize - kLinkBytes || !disk.isValidBlock(link)) return true;
            linked.clear();
            linked.add(link);
            linked.read();
            const std::uint8_t* next = linked.bytes(0);
            const auto tail = std::span(pattern).last(rest);
            if (next == nullptr || !std::equal(tail.begin(), tail.end(), next + kLinkBytes)) return true;
            records.push_back({block.track, block.sector, link.track, link.sector, hit.offset});
        }
        return !(maximum.has_value() && records.size() >= *maximum);
    };
    const auto searchBatch = [&] {
        batch.read();
        for (std::size_t first = 0; first < batch.count();) {
            if (batch.bytes(first) == nullptr) {
                ++first;
                continue;
            }
            std::size_t end = first + 1;
            while (end < batch.count() && batch.bytes(end) == batch.bytes(end - 1) + platter::Disk::kBlockSize) ++end;
            runFirst = first;
            if (!search.scan(std::span(batch.bytes(first), (end - first) * platter::Disk::kBlockSize), record))
                return false;
            first = end;
        }
        batch.clear();
        return true;
    };
    for (std::uint64_t t = 1; t <= disk.trackCount(); ++t) {
        const std::uint64_t sectors = disk.sectorCount(t);
        for (std::uint64_t s = 0; s < sectors;) {
            s += batch.addTrack(t, s, sectors - s);
            if (batch.full() && !searchBatch()) return records;
        }
    }
    searchBatch();
    return records;
}

void CommandFgrep::printMatches(const std::vector<std::uint8_t>& pattern, platter::Disk& disk,
                                const std::string& path) const {
    // Naming the file needs one match only.
    const bool firstOnly = settings.mode == output_mode::withMatches || settings.mode == output_mode::withoutMatch;
    const std::vector<fgrep_match_t> records = searchDisk(pattern, disk, firstOnly ? 0 : settings.maxCount);
    const std::string prefix = settings.noFilename ? std::string() : path + ":";
    switch (settings.mode) {
        case output_mode::withMatches:
            if (!records.empty()) std::cout << path << ":\n";
            return;
        case output_mode::withoutMatch:
            if (records.empty()) std::cout << path << ":\n";
            return;
        case output_mode::count: std::cout << prefix << records.size() << "\n"; return;
        case output_mode::matches: break;
    }
    for (const fgrep_match_t& record : records) {
        std::cout << prefix << record.track << "," << record.sector;
        if (settings.byteOffset) std::cout << ":" << forge::toHex(record.offset, 2);
        if (record.linkTrack != 0) std::cout << "-" << record.linkTrack << "," << record.linkSector;
        std::cout << "\n";
    }
}

}  // namespace app
