#pragma once

#include "platter/core/buffered_data_provider.hpp"

#include <string>

namespace platter {

// A block source for a real drive. No drive access exists in this system: it reads no block.
class FloppyDataProvider : public BufferedDataProvider {
public:
    explicit FloppyDataProvider(std::string device) : device_(std::move(device)) {}

    bool isBlockReadable(std::uint64_t offset) override;
    bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) override;
    const std::string& device() const { return device_; }

protected:
    bool loadBlock(std::uint64_t offset, const track_sector_t& block, cached_block_t& out) override;

private:
    std::string device_;
};

}  // namespace platter
