#pragma once

#include "platter/core/data_provider.hpp"

#include <array>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>

namespace platter {

// One 256-byte block of a host file as cached by `BufferedDataProvider`.
struct cached_block_t {
    std::array<std::uint8_t, 256> loaded{};  // as last read from the file or given to writeBlock
    std::array<std::uint8_t, 256> data{};    // working copy, edited in place by the image
    std::uint8_t present = 0;                // 1 once the block was read or written
};

// Reads 256-byte blocks of the file named by `load` on demand and keeps them for its whole
// life, so a huge hard-disk image costs only the blocks a walk touches. Every pointer it hands
// out spans exactly one block.
class BufferedDataProvider : public DataProvider {
public:
    BufferedDataProvider() = default;

    void setSize(std::uint64_t bytes) override;
    std::uint64_t size() const override;
    std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block) override;
    std::uint64_t available(std::uint64_t offset) const override;
    // Remembers the path and takes the file's size; blocks are read when asked for.
    bool load(const std::filesystem::path& path) override;
    // Cached blocks come from the cache, the rest straight from the file, and nothing is cached.
    bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) override;

    virtual bool assignToParent(std::span<const std::uint8_t> data);
    // Replaces both copies of an already cached block; false when the offset is not cached.
    virtual bool writeBlock(std::uint64_t offset, std::span<const std::uint8_t, 256> data);

    // Hands the file's bytes to `write` in pieces, each cached block that was changed in place
    // of its bytes in the file; false when the file cannot be read whole or `write` fails.
    using piece_writer = std::function<bool(std::span<const std::uint8_t>)>;
    bool copyWithChanges(const piece_writer& write);
    // The file now at `path` holds every change: blocks come from there and count as unchanged.
    void changesSaved(const std::filesystem::path& path);
    // How many blocks were read (or written) so far.
    std::size_t cachedBlockCount() const { return cache_.size(); }

protected:
    // Reads the 256 bytes at offset; a short last block is zero-filled, a read that gets no
    // byte at all fails.
    virtual bool loadBlock(std::uint64_t offset, const track_sector_t& block, cached_block_t& out);

    std::uint64_t size_ = 0;
    std::map<std::int64_t, cached_block_t> cache_;

private:
    // Reads up to `out.size()` bytes of the file at offset: the count, -1 when it cannot be read.
    std::streamsize readFile(std::uint64_t offset, std::span<std::uint8_t> out);

    // The file, opened once for all the blocks read from it.
    std::ifstream file_;
};

}  // namespace platter
