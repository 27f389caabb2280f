#include "platter/core/chain_walk.hpp"

namespace platter {

ChainWalk::ChainWalk(const BlockRoles& container, walk_kind kind, const track_sector_t& start, std::uint64_t maxBlocks)
    : container_(container), kind_(kind), block_(start), maxBlocks_(maxBlocks) {
    if (start.isNone()) {
        end(chain_end::ended, noBlock());
    } else if (maxBlocks_ == 0) {
        end(chain_end::leaves, start);
    } else {
        enter(start);
    }
}

bool ChainWalk::enter(const track_sector_t& block) {
    const block_role role = container_.blockRole(block, kind_);
    if (role == block_role::outside) return end(chain_end::leaves, block);
    if (isStructure(role)) return end(chain_end::structure, block, role);
    if (!seen_.insert(block)) return end(chain_end::turnsBack, block);
    if (count_ >= maxBlocks_) return end(chain_end::leaves, block);
    block_ = block;
    role_ = role;
    return true;
}

bool ChainWalk::read() {
    if (!going_) return false;
    if (role_ == block_role::lacking) return end(chain_end::missing, block_);
    if (role_ == block_role::noData) return end(chain_end::unreadable, block_);
    ++count_;
    lastRead_ = block_;
    return true;
}

bool ChainWalk::follow(const track_sector_t& next) {
    if (!going_) return false;
    if (next.isNone()) return end(chain_end::ended, noBlock());
    return enter(next);
}

void ChainWalk::finish() {
    if (!going_) return;
    end(chain_end::ended, noBlock());
}

bool ChainWalk::end(chain_end how, const track_sector_t& to, block_role role) {
    going_ = false;
    stop_ = chain_stop_t{how, lastRead_, to, role};
    return false;
}

}  // namespace platter
