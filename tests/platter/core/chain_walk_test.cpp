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

const track_sector_t blockA = makeBlock(18, 1);
const track_sector_t blockB = makeBlock(18, 4);
const track_sector_t blockC = makeBlock(18, 7);
const track_sector_t pastTheDisk = makeBlock(99, 0);

TEST(ChainWalk, EachWayAChainEndsIsToldWithTheLinkItStoppedAt) {
    chain_t chain{{{blockA, blockB}, {blockB, noBlock()}}};
    std::vector<track_sector_t> read;
    EXPECT_EQ(chain.walk(blockA, &read), (chain_stop_t{chain_end::ended, blockB, noBlock()}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{blockA, blockB}));

    // A link back, and a link past the container, stop the walk alike; what was read stays.
    chain.links[blockB] = blockA;
    read.clear();
    EXPECT_EQ(chain.walk(blockA, &read), (chain_stop_t{chain_end::turnsBack, blockB, blockA}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{blockA, blockB}));
    chain.links[blockB] = pastTheDisk;
    read.clear();
    EXPECT_EQ(chain.walk(blockA, &read), (chain_stop_t{chain_end::leaves, blockB, pastTheDisk}));
    EXPECT_EQ(read, (std::vector<track_sector_t>{blockA, blockB}));

    // A block that holds no data ends the walk before it.
    chain.links[blockB] = blockC;
    chain.links[blockC] = noBlock();
    chain.unreadable = {blockC};
    EXPECT_EQ(chain.walk(blockA), (chain_stop_t{chain_end::unreadable, blockB, blockC}));
    chain.unreadable.clear();
    chain.links.erase(blockC);
    chain.missing = {blockC};
    EXPECT_EQ(chain.walk(blockA), (chain_stop_t{chain_end::missing, blockB, blockC}));
}

TEST(ChainWalk, AStartOutsideTheContainerReadsNothing) {
    const chain_t chain{{{blockA, noBlock()}}};
    EXPECT_EQ(chain.walk(pastTheDisk), (chain_stop_t{chain_end::leaves, noBlock(), pastTheDisk}));
    EXPECT_TRUE(chain.walk(noBlock()).whole());
}

// A chain of at most two blocks leaves through its third link; a link back wins over that.
TEST(ChainWalk, ALinkBeyondTheMostBlocksLeavesTheChain) {
    chain_t chain{{{blockA, blockB}, {blockB, blockC}, {blockC, noBlock()}}};
    EXPECT_EQ(chain.walk(blockA, nullptr, 2), (chain_stop_t{chain_end::leaves, blockB, blockC}));
    EXPECT_TRUE(chain.walk(blockA, nullptr, 3).whole());
    chain.links[blockB] = blockA;
    EXPECT_EQ(chain.walk(blockA, nullptr, 2), (chain_stop_t{chain_end::turnsBack, blockB, blockA}));
}

}  // namespace
}  // namespace platter
