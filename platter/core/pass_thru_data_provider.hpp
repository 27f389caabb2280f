#pragma once

#include "platter/core/data_provider.hpp"

#include <cstdint>

namespace platter {

// A window of fixed size at a fixed offset inside a parent provider (a partition of a CMD
// image). The parent is not owned and must outlive the window. Offsets are relative to the
// window: the base is added here, so the image inside must not add it again. It shrinks and
// grows back, never past the size it was made with.
class PassThruDataProvider : public DataProvider {
public:
    PassThruDataProvider(DataProvider& parent, std::uint64_t base, std::uint64_t size)
        : parent_(&parent), base_(base), size_(size), capacity_(size) {}

    void setSize(std::uint64_t bytes) override;
    std::uint64_t size() const override;
    std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block) override;
    std::uint64_t available(std::uint64_t offset) const override;
    // Refused: reloading would replace the whole parent under its other windows.
    bool load(const std::filesystem::path& path) override;
    bool isBlockReadable(std::uint64_t offset) override;
    bool isRangeReadable(std::uint64_t offset, std::uint64_t length) override;
    bool holdsRange(std::uint64_t offset, std::uint64_t length) override;
    bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) override;
    std::uint8_t* rangeAt(std::uint64_t offset, std::uint64_t length) override;
    bool readFailed() const override { return parent_->readFailed(); }

    virtual bool assignToParent(std::span<const std::uint8_t> data);

    DataProvider& parent() const { return *parent_; }
    std::uint64_t base() const { return base_; }

private:
    DataProvider* parent_;
    std::uint64_t base_;
    std::uint64_t size_;
    std::uint64_t capacity_;
};

}  // namespace platter
