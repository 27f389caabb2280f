#include "platter/core/block_batch.hpp"

#include <algorithm>

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"

namespace platter {

namespace {

// The widest step from one block's offset to the next's within one piece: a block apart.
constexpr std::uint64_t kMaxStride = 2 * Disk::kBlockSize;

}  // namespace

BlockBatch::BlockBatch(Disk& disk, bool readable, std::size_t capacity)
    : disk_(disk),
      readable_(readable),
      inPlace_(disk.dataProvider() != nullptr && disk.dataProvider()->size() <= kWholeImageBytes),
      capacity_(std::max<std::size_t>(capacity, 1)) {
    blocks_.reserve(capacity_);
    offsets_.reserve(capacity_);
}

bool BlockBatch::add(const track_sector_t& block) {
    blocks_.push_back(block);
    offsets_.push_back(disk_.blockOffset(block));
    return blocks_.size() < capacity_;
}

std::uint64_t BlockBatch::addTrack(std::uint64_t track, std::uint64_t first, std::uint64_t count) {
    const std::uint64_t added = std::min<std::uint64_t>(count, capacity_ - std::min(capacity_, blocks_.size()));
    for (std::uint64_t s = first; s < first + added; ++s) {
        // The offset is asked of the block in place: a copy built on the stack and read back
        // whole stalls the load on each block.
        blocks_.push_back(makeBlock(track, s));
        offsets_.push_back(disk_.blockOffset(blocks_.back()));
    }
    return added;
}

void BlockBatch::read() {
    bytes_.assign(blocks_.size(), nullptr);
    std::size_t first = 0;
    for (std::size_t i = 1; i <= blocks_.size(); ++i) {
        // Blocks close behind one another are read in one piece, the bytes between them too
        // (an IDE64 block is the first half of a 512-byte sector).
        if (i < blocks_.size() && offsets_[i] > offsets_[i - 1] && offsets_[i] - offsets_[i - 1] <= kMaxStride)
            continue;
        if (!pointPiece(first, i)) copyPiece(first, i);
        first = i;
    }
    // What the provider holds of a block whose error byte records a failed read is no data.
    if (!readable_ || !disk_.errorBytesLoaded()) return;
    for (std::size_t i = 0; i < blocks_.size(); ++i) {
        if (bytes_[i] != nullptr && disk_.recordsFailedRead(blocks_[i])) bytes_[i] = nullptr;
    }
}

void BlockBatch::clear() {
    blocks_.clear();
    offsets_.clear();
}

bool BlockBatch::pointPiece(std::size_t first, std::size_t end) {
    if (!inPlace_ || first == end) return false;
    const std::uint64_t span = offsets_[end - 1] + Disk::kBlockSize - offsets_[first];
    if (span != (end - first) * Disk::kBlockSize) return false;
    DataProvider* provider = disk_.dataProvider();
    const std::uint8_t* data = provider->rangeAt(offsets_[first], span);
    if (data == nullptr) return false;
    if (readable_ && !provider->isRangeReadable(offsets_[first], span)) return false;
    for (std::size_t i = first; i < end; ++i) bytes_[i] = data + (i - first) * Disk::kBlockSize;
    return true;
}

void BlockBatch::copyPiece(std::size_t first, std::size_t end) {
    if (first == end) return;
    // Allocated for the whole batch at its first copy, so that no pointer given before moves.
    if (blocks_.size() > held_) {
        held_ = blocks_.size();
        buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(held_ * Disk::kBlockSize);
    }
    std::uint8_t* out = buffer_.get() + first * Disk::kBlockSize;
    const std::size_t bytes = (end - first) * Disk::kBlockSize;
    const auto span = static_cast<std::size_t>(offsets_[end - 1] + Disk::kBlockSize - offsets_[first]);
    if (span != bytes) spread_.resize(span);
    DataProvider* provider = disk_.dataProvider();
    if (provider && provider->copyBytes(offsets_[first], {span == bytes ? out : spread_.data(), span})) {
        for (std::size_t i = first; span != bytes && i < end; ++i)
            std::copy_n(spread_.data() + (offsets_[i] - offsets_[first]), Disk::kBlockSize, out + (i - first) * Disk::kBlockSize);
        for (std::size_t i = first; i < end; ++i) bytes_[i] = out + (i - first) * Disk::kBlockSize;
        return;
    }
    // Some block lacks its bytes, or holds no data: each as the image gives it.
    for (std::size_t i = first; i < end; ++i) {
        const std::uint8_t* data = readable_ ? disk_.readableBlock(blocks_[i]) : disk_.blockPointer(blocks_[i]);
        if (data == nullptr) continue;
        std::copy_n(data, Disk::kBlockSize, buffer_.get() + i * Disk::kBlockSize);
        bytes_[i] = buffer_.get() + i * Disk::kBlockSize;
    }
}

}  // namespace platter
