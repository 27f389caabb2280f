#include "platter/core/chain_walk.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace platter {
namespace {

// A container of the blocks in `links` (each linking to its value), walked by the rule.
struct chain_t {
    std::map<track_sector_t, track_sector_t> links;
    std::set<track_sector_t> unreadable{};
    std::set<track_sector_t> missing{};  // the container has them, its file does not

    bool has(const track_sector_t& block) const { return links.count(block) != 0 || missing.count(block) != 0; }

    chain_stop_t walk(const track_sector_t& start, std::vector<track_sector_t>* read = nullptr,
                      std::uint64_t maxBlocks = ChainWalk::kUnbounded) const {
        ChainWalk walk(start, has(start), maxBlocks);
        while (walk.going()) {
            const track_sector_t block = walk.block();
            if (!walk.read(unreadable.count(block) == 0 && missing.count(block) == 0, missing.count(block) != 0))
                break;
            if (read) read->push_back(block);
            const track_sector_t next = links.at(block);
            walk.follow(next, next.isNone() || has(next));
        }
        return walk.stop();
    }
};

const track_sector_t a = makeBlock(18, 1);
const track_sector_t b = makeBlock(18, 4);
const track_sector_t c = makeBlock(18, 7);
const track_sector_t past = makeBlock(99, 0);

TEST(ChainWalk, EachWayAChainEndsIsToldWithTheLinkItStoppedAt) {
    chain_t chain{{{a, b}, {b, noBlock()}}};
    std::vector<track_sector_t> read;
    EXPECT_EQ(chain.walk(a, &read), (chain_stop_t{chain_end::ended, b, noBlock()}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{a, b}));

    // A link back, and a link past the container, stop the walk alike; what was read stays.
    chain.links[b] = a;
    read.clear();
    EXPECT_EQ(chain.walk(a, &read), (chain_stop_t{chain_end::turnsBack, b, a}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{a, b}));
    chain.links[b] = past;
    read.clear();
    EXPECT_EQ(chain.walk(a, &read), (chain_stop_t{chain_end::leaves, b, past}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{a, b}));

    // A block that holds no data ends the walk before it.
    chain.links[b] = c;
    chain.links[c] = noBlock();
    chain.unreadable = {c};
    EXPECT_EQ(chain.walk(a), (chain_stop_t{chain_end::unreadable, b, c}));
    chain.unreadable.clear();
    chain.links.erase(c);
    chain.missing = {c};
    EXPECT_EQ(chain.walk(a), (chain_stop_t{chain_end::missing, b, c}));
}

TEST(ChainWalk, AStartOutsideTheContainerReadsNothing) {
    const chain_t chain{{{a, noBlock()}}};
    EXPECT_EQ(chain.walk(past), (chain_stop_t{chain_end::leaves, noBlock(), past}));
    EXPECT_TRUE(chain.walk(noBlock()).whole());
}

// A chain of at most two blocks leaves through its third link; a link back wins over that.
TEST(ChainWalk, ALinkBeyondTheMostBlocksLeavesTheChain) {
    chain_t chain{{{a, b}, {b, c}, {c, noBlock()}}};
    EXPECT_EQ(chain.walk(a, nullptr, 2), (chain_stop_t{chain_end::leaves, b, c}));
    EXPECT_TRUE(chain.walk(a, nullptr, 3).whole());
    chain.links[b] = a;
    EXPECT_EQ(chain.walk(a, nullptr, 2), (chain_stop_t{chain_end::turnsBack, b, a}));
}

}  // namespace
}  // namespace platter
