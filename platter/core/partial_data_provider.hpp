#pragma once

#include "platter/core/data_provider.hpp"

#include <cstdint>
#include <vector>

namespace platter {

// An image built in memory of which some blocks hold no data: those its source gave no
// record of (a zipcode set's missing records). They read as zeros and are not readable.
class PartialDataProvider : public DataProvider {
public:
    // The 256-byte block at `offset` holds no data.
    void markNoData(std::uint64_t offset);
    bool isBlockReadable(std::uint64_t offset) override;

private:
    std::vector<bool> noData_;  // by block number
};

}  // namespace platter
