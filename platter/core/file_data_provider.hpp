#pragma once

#include "platter/core/data_provider.hpp"

#include <algorithm>
#include <memory>
#include <vector>

#include "forge/host_file.hpp"

namespace platter {

// The bytes of a host file, read (pread) when first asked for, a run of 256-byte blocks at a
// time, into a buffer of the file's size whose untouched pages cost nothing. The image edits
// blocks in that buffer; saving writes the whole image as ever. A file that has lost bytes it
// held when opened leaves those blocks unreadable and says so through readFailed().
class FileDataProvider : public DataProvider {
public:
    FileDataProvider() = default;

    // Takes over an open regular file; false, leaving `file` as it was, for any other file or
    // when the memory for its size cannot be had.
    bool attach(forge::HostFile&& file, std::string name);

    // Reads every block first, so nothing of the file is lost.
    void setSize(std::uint64_t bytes) override;
    std::uint64_t size() const override { return size_; }
    bool assign(std::span<const std::uint8_t> data) override;
    // Pointers reach at most to the end of the 256 bytes from `offset`.
    std::uint8_t* dataAt(std::uint64_t offset, const track_sector_t& block) override;
    std::uint64_t available(std::uint64_t offset) const override;
    std::uint8_t* rangeAt(std::uint64_t offset, std::uint64_t length) override;
    bool load(const std::filesystem::path& path) override;
    bool isBlockReadable(std::uint64_t offset) override;
    // A block holds data when its bytes can be had: the range's are read, once.
    bool isRangeReadable(std::uint64_t offset, std::uint64_t length) override;
    bool holdsRange(std::uint64_t offset, std::uint64_t length) override {
        return offset <= size_ && length <= size_ - offset;
    }
    // Blocks in the buffer come from there, the others straight from the file, left unread in
    // the buffer.
    bool copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) override;
    bool readFailed() const override { return readFailed_; }
    // Blocks a read fetches at least, from the first it needs (16: a chain's next blocks are
    // mostly close by).
    void setReadAhead(std::uint64_t blocks) { readAhead_ = std::max<std::uint64_t>(blocks, 1); }
    // How many 256-byte blocks hold their bytes so far.
    std::size_t loadedBlockCount() const;

    // The whole buffer, of which only the blocks read so far hold the file's bytes: what
    // identification sees after reading the blocks it looks at through rangeAt.
    std::span<const std::uint8_t> partialBytes() const { return {data_.get(), static_cast<std::size_t>(size_)}; }

private:
    // Reads the blocks first..end-1 that are not in the buffer yet.
    bool fetch(std::uint64_t first, std::uint64_t end);
    bool allocate(std::uint64_t bytes, std::unique_ptr<std::uint8_t[]>& out);

    forge::HostFile file_;
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint64_t size_ = 0;
    std::vector<bool> loaded_;
    std::size_t unloaded_ = 0;  // blocks still to read: none, and every fetch is done
    bool readFailed_ = false;
    std::uint64_t readAhead_ = 16;
};

}  // namespace platter
