#include "platter/core/chain_walk.hpp"

namespace platter {

ChainWalk::ChainWalk(const track_sector_t& start, bool startInContainer, std::uint64_t maxBlocks)
    : block_(start), maxBlocks_(maxBlocks) {
    if (start.isNone()) {
        end(chain_end::ended, noBlock());
    } else if (!startInContainer || maxBlocks_ == 0) {
        end(chain_end::leaves, start);
    } else {
        seen_.insert(start);
    }
}

bool ChainWalk::read(bool holdsData, bool missing) {
    if (!going_) return false;
    if (!holdsData) return end(missing ? chain_end::missing : chain_end::unreadable, block_);
    ++count_;
    lastRead_ = block_;
    return true;
}

bool ChainWalk::follow(const track_sector_t& next, bool inContainer) {
    if (!going_) return false;
    if (next.isNone()) return end(chain_end::ended, noBlock());
    if (!inContainer) return end(chain_end::leaves, next);
    if (!seen_.insert(next).second) return end(chain_end::turnsBack, next);
    if (count_ >= maxBlocks_) return end(chain_end::leaves, next);
    block_ = next;
    return true;
}

void ChainWalk::finish() {
    if (!going_) return;
    end(chain_end::ended, noBlock());
}

bool ChainWalk::end(chain_end how, const track_sector_t& to) {
    going_ = false;
    stop_ = chain_stop_t{how, lastRead_, to};
    return false;
}

}  // namespace platter
