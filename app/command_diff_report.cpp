// The printed results of the diff command: the block map with its legend,
// and the summary with its details.

#include "app/command_diff.hpp"

#include "forge/strings.hpp"
#include "forge/terminal.hpp"

#include <array>
#include <iomanip>
#include <ostream>
#include <string_view>

namespace app {

namespace {

constexpr std::uint32_t kColorSymbol = 7;
constexpr std::uint32_t kColorErrorsDiffer = 12;
constexpr std::uint32_t kColorDataSame = 2;
constexpr std::uint32_t kColorDataDiffer = 5;
constexpr std::uint32_t kColorBlack = 0;

struct legend_line_t {
    block_comparison_t example;
    std::string_view text;
};

// One block of each kind, in the order the legend explains them.
constexpr std::array<legend_line_t, 6> g_legend = {{
    {{0, 0, false, false, 0}, "  data identical; no error\n"},
    {{0, 0, true, false, 0}, "  data identical; error identical\n"},
    {{0, 0, true, true, 0}, "  data identical; error different\n"},
    {{0, 0, false, false, 1}, "  data different; no error\n"},
    {{0, 0, true, false, 1}, "  data different; error identical\n"},
    {{0, 0, true, true, 1}, "  data different; error different\n"},
}};

forge::text_attr_t foregroundOf(const block_comparison_t& record) {
    return {forge::kAttrForeground, record.errorsDiffer ? kColorErrorsDiffer : kColorSymbol, forge::kNoColor};
}

forge::text_attr_t backgroundOf(const block_comparison_t& record) {
    return {forge::kAttrBackground, forge::kNoColor, record.differingBytes != 0 ? kColorDataDiffer : kColorDataSame};
}

void printSymbol(std::ostream& out, const block_comparison_t& record, bool color) {
    if (color) {
        forge::applyAttributes(out, foregroundOf(record));
        forge::applyAttributes(out, backgroundOf(record));
    }
    out << comparisonSymbol(record);
    if (color) forge::applyAttributes(out, {forge::kAttrBackground, forge::kNoColor, kColorBlack});
}

// "  track 18; sectors: 0, 1", one line per track of the records that pass.
template <typename Predicate>
void printDetail(std::ostream& out, const std::vector<block_comparison_t>& records, Predicate selected) {
    std::uint64_t track = 0;
    for (const block_comparison_t& record : records) {
        if (!selected(record)) continue;
        if (record.track != track) {
            if (track != 0) out << '\n';
            track = record.track;
            out << "  track " << std::setw(2) << std::setfill('0') << track << std::setfill(' ') << "; sectors: ";
        } else {
            out << ", ";
        }
        out << record.sector;
    }
    out << '\n';
}

std::string counted(std::uint64_t count, std::string_view noun) {
    return std::to_string(count) + " " + std::string(noun) + forge::plural("s", count);
}

}  // namespace

void CommandDiff::printMap(std::ostream& out, const std::vector<block_comparison_t>& records) const {
    std::uint64_t lastTrack = 1;
    for (const block_comparison_t& record : records) lastTrack = std::max(lastTrack, record.track);
    std::size_t next = 0;
    for (std::uint64_t t = 1; t <= lastTrack; ++t) {
        out << ' ';
        for (; next < records.size() && records[next].track == t; ++next) {
            printSymbol(out, records[next], settings.color);
            out << ' ';
        }
        if (settings.color) forge::applyAttributes(out, {forge::kAttrNormal, forge::kNoColor, forge::kNoColor});
        out << '\n';
        if (t % 10 == 0) out << '\n';
    }
    out << '\n' << std::flush;
    if (!settings.legend) return;
    for (const legend_line_t& line : g_legend) {
        out << "\t ";
        if (settings.color) {
            forge::applyAttributes(out, backgroundOf(line.example));
            forge::applyAttributes(out, foregroundOf(line.example));
        }
        out << comparisonSymbol(line.example);
        if (settings.color) forge::applyAttributes(out, {forge::kAttrReset, forge::kNoColor, forge::kNoColor});
        out << line.text;
    }
}

void CommandDiff::printReport(std::ostream& out, const std::vector<block_comparison_t>& records) const {
    std::uint64_t blocks = 0;
    std::uint64_t bytes = 0;
    std::uint64_t errorBlocks = 0;
    for (const block_comparison_t& record : records) {
        blocks += record.differingBytes != 0 ? 1 : 0;
        bytes += record.differingBytes;
        errorBlocks += record.errorsDiffer ? 1 : 0;
    }
    const std::string_view subject = settings.trackGiven ? "tracks" : "disks";
    if (blocks == 0 && errorBlocks == 0) {
        out << subject << " identical.\n" << std::flush;
        return;
    }
    out << subject << " differ: ";
    if (blocks != 0)
        out << counted(bytes, "byte") << " over " << counted(blocks, "block") << (errorBlocks != 0 ? "; " : ".\n");
    if (errorBlocks != 0) out << counted(errorBlocks, "block") << " with different error status.\n";
    if (settings.verbose && blocks != 0) {
        out << "\ndetail (different data/bytes):\n";
        printDetail(out, records, [](const block_comparison_t& r) { return r.differingBytes != 0; });
    }
    if (settings.verbose && errorBlocks != 0) {
        out << "\ndetail (different errors):\n";
        printDetail(out, records, [](const block_comparison_t& r) { return r.errorsDiffer; });
    }
    out << std::flush;
}

}  // namespace app
