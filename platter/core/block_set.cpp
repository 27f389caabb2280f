#include "platter/core/block_set.hpp"

namespace platter {

namespace {

std::size_t slotOf(const track_sector_t& block, std::size_t mask) {
    const std::uint64_t key = (block.track << 32) ^ block.sector;
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

bool BlockSet::insert(const track_sector_t& block) {
    if (table_.empty()) {
        for (std::size_t i = 0; i < listedCount_; ++i)
            if (listed_[i] == block) return false;
        if (listedCount_ < kListed) {
            listed_[listedCount_++] = block;
            return true;
        }
        for (const track_sector_t& listed : listed_) insertHashed(listed);
    }
    return insertHashed(block);
}

bool BlockSet::insertHashed(const track_sector_t& block) {
    if ((hashedCount_ + 1) * 2 > table_.size()) grow();
    const std::size_t mask = table_.size() - 1;
    for (std::size_t at = slotOf(block, mask);; at = (at + 1) & mask) {
        if (table_[at] == block) return false;
        if (table_[at].isNone()) {
            table_[at] = block;
            ++hashedCount_;
            return true;
        }
    }
}

void BlockSet::grow() {
    std::vector<track_sector_t> old(table_.empty() ? 4 * kListed : table_.size() * 2, noBlock());
    old.swap(table_);
    hashedCount_ = 0;
    for (const track_sector_t& block : old)
        if (!block.isNone()) insertHashed(block);
}

}  // namespace platter
