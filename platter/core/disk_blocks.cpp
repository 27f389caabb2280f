#include <algorithm>

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"

namespace platter {

std::uint8_t* Disk::blockPointer(const track_sector_t& block) {
    if (!provider_ || !isValidBlock(block)) return nullptr;
    const std::uint64_t offset = blockOffset(block);
    // A block that straddles the end of the provider is not accessible. Asked before
    // `dataAt`, so a provider that reads on demand never loads such a block.
    if (provider_->available(offset) < kBlockSize) return nullptr;
    return provider_->dataAt(offset, block);
}

std::span<std::uint8_t> Disk::blockBytes(const track_sector_t& block) {
    std::uint8_t* data = blockPointer(block);
    return data ? std::span<std::uint8_t>(data, kBlockSize) : std::span<std::uint8_t>();
}

std::span<const std::uint8_t> Disk::blockBytes(const track_sector_t& block) const {
    const std::uint8_t* data = blockData(block);
    return data ? std::span<const std::uint8_t>(data, kBlockSize) : std::span<const std::uint8_t>();
}

const std::uint8_t* Disk::blockData(const track_sector_t& block) const {
    return const_cast<Disk*>(this)->blockPointer(block);
}

std::uint64_t Disk::maxSector(std::uint64_t track) const {
    std::uint64_t low = 0;
    std::uint64_t high = 256;
    while (high - low > 1) {
        const std::uint64_t probe = low + (high - low) / 2;
        if (isValidBlock(makeBlock(track, probe)))
            low = probe;
        else
            high = probe;
    }
    return low;
}

bool Disk::readSector(const track_sector_t& block, std::span<std::uint8_t, kBlockSize> out) {
    const std::uint8_t* data = blockPointer(block);
    if (!data) return false;
    std::copy_n(data, kBlockSize, out.begin());
    return true;
}

bool Disk::isBlockReadable(const track_sector_t& block) {
    if (provider_ && !provider_->isBlockReadable(blockOffset(block))) return false;
    return !errorByteMarksBlockUnread(block);
}

std::uint64_t Disk::providerSize() const { return provider_ ? provider_->size() : 0; }

std::uint8_t* Disk::providerData(std::uint64_t offset) { return providerData(offset, track_sector_t{}); }

std::uint8_t* Disk::providerData(std::uint64_t offset, const track_sector_t& block) {
    return provider_ ? provider_->dataAt(offset, block) : nullptr;
}

bool Disk::findFreeSector(std::uint64_t track, track_sector_t& block, std::uint64_t interleave,
                          std::uint64_t sectorsOnTrack) {
    const track_sector_t start = makeBlock(track, block.sector);
    if (isBlockFree(start)) {
        block = start;
        return true;
    }
    if (sectorsOnTrack == 0) return false;
    std::uint64_t sector = block.sector + interleave;
    if (sector >= sectorsOnTrack) sector = sector - sectorsOnTrack + 1;
    for (std::uint64_t tried = 0; tried < sectorsOnTrack; ++tried) {
        if (sector >= sectorsOnTrack) sector = 0;
        const track_sector_t candidate = makeBlock(track, sector);
        if (isBlockFree(candidate)) {
            block = candidate;
            return true;
        }
        ++sector;
    }
    return false;
}

bool Disk::getDiskName(std::span<std::uint8_t, 16> out) const {
    const std::uint8_t* name = diskName();
    if (!name) return false;
    std::copy_n(name, out.size(), out.begin());
    return true;
}

bool Disk::getDiskId(std::span<std::uint8_t, 5> out) const {
    const std::uint8_t* id = diskId();
    if (!id) return false;
    std::copy_n(id, out.size(), out.begin());
    return true;
}

bool Disk::setBlockBytes(const track_sector_t& block, std::uint64_t offset, std::span<const std::uint8_t> bytes,
                         const std::string& name) {
    if (offset >= kBlockSize) return false;
    std::uint8_t* data = blockPointer(block);
    if (!data) return false;
    const std::size_t n = std::min<std::size_t>(bytes.size(), kBlockSize - offset);
    const auto head = bytes.first(n);
    if (std::equal(head.begin(), head.end(), data + offset)) return true;
    pushUndoRecord(kUndoBytes, block, offset, std::span<const std::uint8_t>(data + offset, n), name);
    std::copy_n(bytes.begin(), n, data + offset);
    setModified(true);
    return true;
}

}  // namespace platter
