#pragma once
// The blocks a walk has met. The first few are kept in place and searched in order (most walks
// are a few blocks long); past them every block goes into one flat hashed table, so that a walk
// of many blocks allocates a few times, not once per block.

#include <array>
#include <cstdint>
#include <vector>

#include "platter/core/track_sector.hpp"

namespace platter {

class BlockSet {
public:
    // Adds `block`; false when it was in the set already.
    bool insert(const track_sector_t& block);
    std::size_t size() const { return table_.empty() ? listedCount_ : hashedCount_; }
    void clear() {
        listedCount_ = 0;
        table_.clear();
        hashedCount_ = 0;
    }

private:
    static constexpr std::size_t kListed = 8;

    bool insertHashed(const track_sector_t& block);
    void grow();

    std::array<track_sector_t, kListed> listed_{};
    std::size_t listedCount_ = 0;
    std::vector<track_sector_t> table_;  // noBlock() marks a free slot
    std::size_t hashedCount_ = 0;
};

}  // namespace platter
