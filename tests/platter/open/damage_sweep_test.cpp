// The damage sweep: every fixture kind under every operator that applies to it, each damaged
// copy opened, listed and read in process and held to one property against the intact copy
// (damage_sweep.hpp). A new damage case is a row here: an operator in a fixture's list, a
// line in the undetectable list with its reason, or a line in the known failures with the
// fault it shows.

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <map>

#include "tests/platter/open/damage_sweep.hpp"
#include "tests/support/files.hpp"

namespace damage_sweep {
namespace {

// Every size of a smaller kind or variant: D64 of 35, 40 and 42 tracks with and without error
// bytes, D71 with and without, D80, D81 with and without, D1M, D82, DNP of one and two tracks.
const std::vector<std::size_t> kKindSizes{65536,  131072, 174848, 175531, 196608,  197376, 205312, 206114,
                                          349696, 351062, 533248, 819200, 822400, 829440, 1066496};

// Operators of every CBM DOS image whose file is its blocks.
std::vector<operator_t> cbmDos(std::vector<operator_t> more = {}) {
    std::vector<operator_t> ops{cuts(kKindSizes), chainLinks, lastBlockBytes, entryBlockCounts};
    ops.insert(ops.end(), more.begin(), more.end());
    return ops;
}

std::vector<operator_t> archive(std::vector<operator_t> more = {}) {
    std::vector<operator_t> ops{cuts(kKindSizes), appendedJunk};
    ops.insert(ops.end(), more.begin(), more.end());
    return ops;
}

struct sweep_fixture_t {
    std::string name;  // below tests/data
    std::vector<operator_t> operators;
};

const std::vector<sweep_fixture_t>& fixtures() {
    static const std::vector<sweep_fixture_t> rows{
        {"d64/base.d64", cbmDos({errorBytes})},
        {"d64/speed40.d64", cbmDos({errorBytes})},
        {"d64/dolphin40.d64", cbmDos()},
        {"geos/records.d64", cbmDos()},
        {"d71/c.d71", cbmDos({errorBytes})},
        {"d80/files.d80", cbmDos()},
        {"d80/files.d82", cbmDos()},
        {"d81/c.d81", cbmDos({errorBytes})},
        {"d81/p.d81", cbmDos({partitionSizes})},
        {"cmd/x.dnp", cbmDos()},
        {"cmd/k.d1m", cbmDos({cmdTableFields})},
        {"g64/base.g64", {cuts(kKindSizes)}},
        {"g64/base.nib", {cuts(kKindSizes)}},
        {"g64/base.nbz", {cuts(kKindSizes)}},
        {"t64/files.t64", archive({t64Fields})},
        {"archive/five.lnx", archive({lynxFields})},
        {"archive/modes_v1.arc", archive()},
        {"archive/files.ark", archive()},
        {"archive/small.lzh", archive()},
        {"archive/small.sda", archive()},
        {"archive/files.wr3", archive()},
        {"archive/files.lbr", archive()},
        {"archive/files.spy", archive()},
    };
    return rows;
}

// Operators whose damage no reader can tell from a valid image, with the reason; they run
// (nothing may crash or hang) but the property is not asked of them. Matched as part of the
// operator's name, for every fixture.
const std::map<std::string, std::string> kUndetectable{
    {"last-block byte one lower", "a file one byte shorter: every last-block byte from 2 to 255 is valid"},
    {"last-block byte one higher", "a file one byte longer: every last-block byte from 2 to 255 is valid"},
    {"last-block byte at its maximum", "a file whose last block is full: 255 is valid"},
    {"entry block count", "a file is read by its chain; the block count its entry shows is free (directory art)"},
    {"directory link at 0/0", "a directory that ends at that block is a valid shorter directory"},
    {"tape start address one", "a load address is free where the end address says nothing (SECOND's is below its start)"},
    {"tape start address at its maximum", "an end address below the start says nothing: the load address is free"},
    {"tape offset one higher", "the last entry's offset one higher is a tape cut by one byte: the entry before, whose end "
                               "address says nothing, keeps the byte as a cut tape's whole entry does"},
};

// Rows that break the property today, each with the fault it shows: the list of work. The
// sweep checks that each still fails; a row that passes must leave the list.
const std::map<std::pair<std::string, std::string>, std::string> kKnownFailures{};

std::optional<std::string> undetectableReason(const std::string& op) {
    for (const auto& [part, reason] : kUndetectable)
        if (op.find(part) != std::string::npos) return reason;
    return std::nullopt;
}

// At most `limit` of `count` cases, spread evenly from the first to the last.
std::vector<std::size_t> sample(std::size_t count, std::size_t limit) {
    std::vector<std::size_t> picked;
    if (count <= limit) {
        for (std::size_t i = 0; i < count; ++i) picked.push_back(i);
        return picked;
    }
    for (std::size_t i = 0; i < limit; ++i) picked.push_back(limit == 1 ? 0 : i * (count - 1) / (limit - 1));
    return picked;
}

struct row_result_t {
    std::size_t cases = 0;
    std::size_t failed = 0;
    std::string firstFailure;
};

constexpr std::size_t kCasesPerRow = 6;

TEST(DamageSweep, EveryDamagedCopyReadsWholeAndEqualOrNamesItsDamage) {
    const bool verbose = std::getenv("ZT_DAMAGE_SWEEP_VERBOSE") != nullptr;
    std::map<std::pair<std::string, std::string>, row_result_t> rows;
    std::size_t copies = 0;
    for (const sweep_fixture_t& fixture : fixtures()) {
        intact_t intact{fixture.name, test_support::readFixture(fixture.name), nullptr, nullptr};
        intact.disk = openCopy(fixture.name, intact.bytes);
        const snapshot_t whole = snapshotOf(intact.disk.get());
        if (!whole.opened || whole.reportNamed || whole.entries.empty()) {
            ADD_FAILURE() << fixture.name << " is no intact fixture";
            continue;
        }
        std::map<std::string, std::vector<damage_t>> byOperator;
        for (const operator_t& op : fixture.operators) {
            for (damage_t& damage : op(intact)) byOperator[damage.op].push_back(std::move(damage));
        }
        for (const auto& [op, damages] : byOperator) {
            const bool undetectable = undetectableReason(op).has_value();
            row_result_t& row = rows[{fixture.name, op}];
            for (std::size_t index : sample(damages.size(), undetectable ? 1 : kCasesPerRow)) {
                const damage_t& damage = damages[index];
                const std::unique_ptr<platter::Disk> copy = openCopy(fixture.name, damage.apply(intact.bytes));
                const snapshot_t seen = snapshotOf(copy.get());
                ++copies;
                ++row.cases;
                if (undetectable) continue;
                if (const std::optional<std::string> broken = violation(whole, seen, damage)) {
                    if (row.failed++ == 0) row.firstFailure = damage.where + ": " + *broken;
                }
            }
        }
    }
    std::size_t failing = 0;
    for (const auto& [key, row] : rows) {
        const auto known = kKnownFailures.find(key);
        if (row.failed > 0) ++failing;
        if (verbose && row.failed > 0)
            std::cout << "FAIL\t" << key.first << "\t" << key.second << "\t" << row.failed << "/" << row.cases << "\t"
                      << row.firstFailure << "\n";
        if (undetectableReason(key.second)) continue;
        if (known == kKnownFailures.end()) {
            EXPECT_EQ(row.failed, 0u) << key.first << ", " << key.second << ": " << row.failed << " of " << row.cases
                                      << " copies break the property; first " << row.firstFailure;
        } else {
            EXPECT_GT(row.failed, 0u) << key.first << ", " << key.second
                                      << " holds now: take it off the known failures (" << known->second << ")";
        }
    }
    for (const auto& [key, fault] : kKnownFailures)
        EXPECT_TRUE(rows.contains(key)) << key.first << ", " << key.second << " is no row of the sweep (" << fault << ")";
    if (verbose) std::cout << copies << " copies, " << rows.size() << " rows, " << failing << " failing\n";
}

}  // namespace
}  // namespace damage_sweep
