#include "platter/core/file_data_provider.hpp"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace platter {

namespace {

constexpr std::uint64_t kBlock = 256;

std::uint64_t blocksOf(std::uint64_t bytes) { return (bytes + kBlock - 1) / kBlock; }

}  // namespace

bool FileDataProvider::allocate(std::uint64_t bytes, std::unique_ptr<std::uint8_t[]>& out) {
    try {
        out = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(std::max<std::uint64_t>(bytes, 1)));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

bool FileDataProvider::attach(forge::HostFile&& file, std::string name) {
    std::unique_ptr<std::uint8_t[]> data;
    if (!file.isRegular() || !allocate(file.size(), data)) return false;
    try {
        loaded_.assign(static_cast<std::size_t>(blocksOf(file.size())), false);
        unloaded_ = loaded_.size();
    } catch (const std::bad_alloc&) {
        return false;
    }
    data_ = std::move(data);
    size_ = file.size();
    file_ = std::move(file);
    name_ = std::move(name);
    readFailed_ = false;
    return true;
}

void FileDataProvider::setSize(std::uint64_t bytes) {
    std::unique_ptr<std::uint8_t[]> data;
    if (!allocate(bytes, data)) return;
    const std::uint64_t kept = std::min(bytes, size_);
    fetch(0, blocksOf(kept));
    for (std::uint64_t block = 0; block < blocksOf(kept); ++block) {
        const std::uint64_t at = block * kBlock;
        const std::uint64_t length = std::min(kBlock, kept - at);
        if (loaded_[block])
            std::copy_n(data_.get() + at, length, data.get() + at);
        else
            std::fill_n(data.get() + at, length, 0);
    }
    std::fill_n(data.get() + kept, bytes - kept, 0);
    data_ = std::move(data);
    size_ = bytes;
    loaded_.assign(static_cast<std::size_t>(blocksOf(bytes)), true);
    unloaded_ = 0;
}

bool FileDataProvider::assign(std::span<const std::uint8_t> data) {
    std::unique_ptr<std::uint8_t[]> copy;
    if (!allocate(data.size(), copy)) return false;
    std::copy(data.begin(), data.end(), copy.get());
    data_ = std::move(copy);
    size_ = data.size();
    loaded_.assign(static_cast<std::size_t>(blocksOf(size_)), true);
    unloaded_ = 0;
    return true;
}

std::uint8_t* FileDataProvider::dataAt(std::uint64_t offset, const track_sector_t& /*block*/) {
    if (offset == size_) return data_ ? data_.get() + size_ : nullptr;
    return rangeAt(offset, available(offset));
}

std::uint64_t FileDataProvider::available(std::uint64_t offset) const {
    return offset < size_ ? std::min(kBlock, size_ - offset) : 0;
}

std::uint8_t* FileDataProvider::rangeAt(std::uint64_t offset, std::uint64_t length) {
    if (length == 0 || offset >= size_ || length > size_ - offset) return nullptr;
    if (!fetch(offset / kBlock, blocksOf(offset + length))) return nullptr;
    return data_.get() + offset;
}

bool FileDataProvider::load(const std::filesystem::path& path) {
    forge::HostFile file;
    return file.open(path.string()) && attach(std::move(file), path.string());
}

bool FileDataProvider::isBlockReadable(std::uint64_t offset) { return dataAt(offset, track_sector_t{}) != nullptr; }

bool FileDataProvider::isRangeReadable(std::uint64_t offset, std::uint64_t length) {
    return length == 0 || rangeAt(offset, length) != nullptr;
}

bool FileDataProvider::copyBytes(std::uint64_t offset, std::span<std::uint8_t> out) {
    if (offset > size_ || out.size() > size_ - offset) return false;
    const std::uint64_t end = offset + out.size();
    const auto held = [this](std::uint64_t at) { return unloaded_ == 0 || loaded_[static_cast<std::size_t>(at / kBlock)]; };
    for (std::uint64_t at = offset; at < end;) {
        // The run of blocks from `at` that are all in the buffer, or all not.
        const bool inBuffer = held(at);
        std::uint64_t next = std::min(end, (at / kBlock + 1) * kBlock);
        while (next < end && held(next) == inBuffer) next = std::min(end, next + kBlock);
        const std::span<std::uint8_t> piece = out.subspan(static_cast<std::size_t>(at - offset), static_cast<std::size_t>(next - at));
        if (inBuffer) {
            std::copy_n(data_.get() + at, piece.size(), piece.data());
        } else if (!file_.isOpen() || file_.readAt(at, piece) != static_cast<std::int64_t>(piece.size())) {
            // As in fetch: the file shrank, and these blocks are gone.
            readFailed_ = true;
            return false;
        }
        at = next;
    }
    return true;
}

std::size_t FileDataProvider::loadedBlockCount() const {
    return static_cast<std::size_t>(std::count(loaded_.begin(), loaded_.end(), true));
}

bool FileDataProvider::fetch(std::uint64_t first, std::uint64_t end) {
    if (unloaded_ == 0) return true;
    for (std::uint64_t block = first; block < end;) {
        if (loaded_[block]) {
            ++block;
            continue;
        }
        // At least the read-ahead's blocks at once.
        const std::uint64_t limit = std::min<std::uint64_t>(loaded_.size(), std::max(end, block + readAhead_));
        // Nothing read yet: every block up to the limit is to be read.
        std::uint64_t run = unloaded_ == loaded_.size() ? limit : block + 1;
        while (run < limit && !loaded_[run]) ++run;
        const std::uint64_t at = block * kBlock;
        const std::uint64_t length = std::min(run * kBlock, size_) - at;
        const std::int64_t got = file_.isOpen() ? file_.readAt(at, {data_.get() + at, static_cast<std::size_t>(length)}) : -1;
        // Fewer bytes than the size the file had: it shrank, and these blocks are gone.
        if (got < 0 || static_cast<std::uint64_t>(got) != length) {
            readFailed_ = true;
            return false;
        }
        unloaded_ -= run - block;
        std::fill(loaded_.begin() + static_cast<std::ptrdiff_t>(block), loaded_.begin() + static_cast<std::ptrdiff_t>(run),
                  true);
        block = run;
    }
    return true;
}

}  // namespace platter
