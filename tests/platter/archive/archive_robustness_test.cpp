// Every cut and single-bit flip of every fixture decodes or fails cleanly: no
// read out of bounds (the sanitizer build watches), no hang, and a cut
// archive never reports as whole anything but what the whole archive gives;
// one with a directory hands on every entry it lists, or none. A long
// fixture is cut at a fixed sample of its sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "archive_test_support.hpp"

namespace platter::test {
namespace {

// A fixture and how many of its bits to flip: all of the small ones, fewer
// where the fixture or each decode is long.
struct robustness_case_t {
    const char* name;
    std::size_t flips;
    bool listsEveryEntry = false;  // a directory names the entries before their data
    std::size_t sampledCuts = 0;   // cuts taken between the ends and headers; 0: every cut
};

class ArchiveRobustness : public testing::TestWithParam<robustness_case_t> {};

// About `count` positions spread evenly over [0, end), or all of them; an odd
// step reaches every bit position of a byte.
std::vector<std::size_t> spread(std::size_t end, std::size_t count) {
    std::vector<std::size_t> at;
    const std::size_t step = end <= count ? 1 : (end / count) | 1;
    for (std::size_t i = 0; i < end; i += step) at.push_back(i);
    return at;
}

constexpr std::size_t kBlock = 256;

// The sizes a fixture is cut to: all of them, or those of its first and last blocks, every
// size that ends inside an LHA header or just after it, and `sampled` more drawn with a fixed
// seed.
std::set<std::size_t> cutSizes(const bytes_t& whole, std::size_t sampled) {
    std::set<std::size_t> sizes;
    if (sampled == 0 || whole.size() <= 2 * kBlock + sampled) {
        for (std::size_t size = 0; size < whole.size(); ++size) sizes.insert(size);
        return sizes;
    }
    for (std::size_t size = 0; size < kBlock; ++size) {
        sizes.insert(size);
        sizes.insert(whole.size() - 1 - size);
    }
    // An LHA header: its length, a checksum, then the method "-lh?-" or "-lz?-".
    for (std::size_t at = 0; at + 7 <= whole.size(); ++at) {
        const bool method = whole[at + 2] == '-' && whole[at + 3] == 'l' && (whole[at + 4] == 'h' || whole[at + 4] == 'z') &&
                            whole[at + 6] == '-';
        if (!method) continue;
        const std::size_t end = std::min(whole.size(), at + 2 + whole[at] + 1);
        for (std::size_t size = at; size <= end; ++size) sizes.insert(size);
    }
    std::mt19937 random(45);
    std::uniform_int_distribution<std::size_t> anywhere(0, whole.size() - 1);
    for (std::size_t drawn = 0; drawn < sampled; ++drawn) sizes.insert(anywhere(random));
    return sizes;
}

TEST_P(ArchiveRobustness, EveryCutFailsCleanly) {
    const std::string name = GetParam().name;
    const bytes_t whole = readFixture(name);
    ASSERT_FALSE(whole.empty());
    const decoded_t full = decode(name, whole);
    for (const std::size_t size : cutSizes(whole, GetParam().sampledCuts)) {
        const decoded_t cut = decode(name, std::span<const std::uint8_t>(whole).first(size));
        if (GetParam().listsEveryEntry && cut.result != import_result_t::damaged) {
            ASSERT_EQ(cut.entries.size(), full.entries.size()) << size;
        }
        if (cut.result != import_result_t::done) continue;
        ASSERT_LE(cut.entries.size(), full.entries.size()) << size;
        for (std::size_t i = 0; i < cut.entries.size(); ++i) ASSERT_EQ(cut.entries[i], full.entries[i]) << size;
    }
}

TEST_P(ArchiveRobustness, BitFlipsFailCleanly) {
    const std::string name = GetParam().name;
    bytes_t bytes = readFixture(name);
    ASSERT_FALSE(bytes.empty());
    for (std::size_t bit : spread(bytes.size() * 8, GetParam().flips)) {
        const auto mask = static_cast<std::uint8_t>(1u << (bit % 8));
        bytes[bit / 8] ^= mask;
        const decoded_t flipped = decode(name, bytes);
        bytes[bit / 8] ^= mask;
        std::size_t total = 0;
        for (const collected_entry_t& entry : flipped.entries) total += entry.data.size();
        ASSERT_LE(total, std::size_t{64} << 20) << bit;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, ArchiveRobustness,
                         testing::Values(robustness_case_t{"modes_v2.arc", 6000},
                                         robustness_case_t{"modes_v1.arc", 8000},
                                         robustness_case_t{"crunch_long.arc", 4000},
                                         robustness_case_t{"endcode_long.arc", 3000},
                                         robustness_case_t{"small.sda", 8000}, robustness_case_t{"small.lzh", 8000},
                                         robustness_case_t{"stored.lzh", 10000}, robustness_case_t{"big.lzh", 1000, false, 512},
                                         robustness_case_t{"files.wr3", 8000}, robustness_case_t{"files.ark", 64000, true},
                                         robustness_case_t{"files.lbr", 16000, true},
                                         robustness_case_t{"files.spy", 64000, true}),
                         [](const testing::TestParamInfo<robustness_case_t>& param) {
                             std::string label = param.param.name;
                             std::replace(label.begin(), label.end(), '.', '_');
                             return label;
                         });

}  // namespace
}  // namespace platter::test
