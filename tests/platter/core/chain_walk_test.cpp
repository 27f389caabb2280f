#include "platter/core/chain_walk.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

namespace platter {
namespace {

// A container of the blocks in `links` (each linking to its value), walked by the rule.
struct chain_t final : BlockRoles {
    std::map<track_sector_t, track_sector_t> links;
    std::set<track_sector_t> unreadable{};
    std::set<track_sector_t> missing{};  // the container has them, its file does not
    std::set<track_sector_t> directory{};  // structure to a file's chain

    block_role blockRole(const track_sector_t& block, walk_kind kind) const override {
        if (missing.count(block) != 0) return block_role::lacking;
        if (links.count(block) == 0) return block_role::outside;
        if (kind == walk_kind::file && directory.count(block) != 0) return block_role::directory;
        return unreadable.count(block) != 0 ? block_role::noData : block_role::data;
    }

    chain_stop_t walk(const track_sector_t& start, std::vector<track_sector_t>* read = nullptr,
                      std::uint64_t maxBlocks = ChainWalk::kUnbounded, walk_kind kind = walk_kind::file) const {
        ChainWalk walk(*this, kind, start, maxBlocks);
        while (walk.going()) {
            const track_sector_t block = walk.block();
            if (!walk.read()) break;
            if (read) read->push_back(block);
            walk.follow(links.at(block));
        }
        return walk.stop();
    }
};

const track_sector_t blockA = makeBlock(18, 1);
const track_sector_t blockB = makeBlock(18, 4);
const track_sector_t blockC = makeBlock(18, 7);
const track_sector_t pastTheDisk = makeBlock(99, 0);

TEST(ChainWalk, EachWayAChainEndsIsToldWithTheLinkItStoppedAt) {
    chain_t chain;
    chain.links = {{blockA, blockB}, {blockB, noBlock()}};
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

    // A structure block ends a walk that must not enter it, naming what it is; a walk of the
    // directory itself goes through.
    chain.missing.clear();
    chain.links[blockC] = noBlock();
    chain.directory = {blockC};
    EXPECT_EQ(chain.walk(blockA), (chain_stop_t{chain_end::structure, blockB, blockC, block_role::directory}));
    EXPECT_TRUE(chain.walk(blockA, nullptr, ChainWalk::kUnbounded, walk_kind::directory).whole());
    EXPECT_EQ(chain.walk(blockC), (chain_stop_t{chain_end::structure, noBlock(), blockC, block_role::directory}));
}

TEST(ChainWalk, AStartOutsideTheContainerReadsNothing) {
    chain_t chain;
    chain.links = {{blockA, noBlock()}};
    EXPECT_EQ(chain.walk(pastTheDisk), (chain_stop_t{chain_end::leaves, noBlock(), pastTheDisk}));
    EXPECT_TRUE(chain.walk(noBlock()).whole());
}

// A chain of at most two blocks leaves through its third link; a link back wins over that.
TEST(ChainWalk, ALinkBeyondTheMostBlocksLeavesTheChain) {
    chain_t chain;
    chain.links = {{blockA, blockB}, {blockB, blockC}, {blockC, noBlock()}};
    EXPECT_EQ(chain.walk(blockA, nullptr, 2), (chain_stop_t{chain_end::leaves, blockB, blockC}));
    EXPECT_TRUE(chain.walk(blockA, nullptr, 3).whole());
    chain.links[blockB] = blockA;
    EXPECT_EQ(chain.walk(blockA, nullptr, 2), (chain_stop_t{chain_end::turnsBack, blockB, blockA}));
}

}  // namespace
}  // namespace platter
