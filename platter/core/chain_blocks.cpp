#include "platter/core/chain_blocks.hpp"

namespace platter {

void appendNewBlocks(std::vector<track_sector_t>& blocks, std::vector<track_sector_t>* out,
                     std::set<track_sector_t>& visited) {
    for (const track_sector_t& block : blocks) {
        if (visited.insert(block).second && out) out->push_back(block);
    }
    blocks.clear();
}

}  // namespace platter
