// Size changes and their undo: the record keeps the old and the new shape and size, and the
// bytes a shrink cut off, so that undoing restores the image exactly.

#include <algorithm>
#include <array>

#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"

namespace platter {

namespace {

// The fixed part of a size-change record: old geometry, old size, new geometry, new size.
constexpr std::size_t kFields = 8;
constexpr std::size_t kHeaderBytes = kFields * 8;

void putNumber(Disk::bytes_t& out, std::uint64_t value) {
    for (int shift = 0; shift < 64; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint64_t numberAt(const Disk::bytes_t& in, std::size_t field) {
    std::uint64_t value = 0;
    for (std::size_t i = 8; i > 0; --i) value = value << 8 | in[field * 8 + i - 1];
    return value;
}

disk_geometry_t geometryAt(const Disk::bytes_t& in, std::size_t field) {
    return {numberAt(in, field), numberAt(in, field + 1), numberAt(in, field + 2)};
}

}  // namespace

bool Disk::resizeImage(const disk_geometry_t& geometry, std::uint64_t bytes) {
    if (!provider_) return false;
    completeImage();
    const std::uint64_t oldSize = provider_->size();
    bytes_t record;
    record.reserve(kHeaderBytes);
    for (const std::uint64_t value : {geometry_.trackCount, geometry_.sectorsPerTrack, geometry_.totalBlocks, oldSize,
                                      geometry.trackCount, geometry.sectorsPerTrack, geometry.totalBlocks, bytes}) {
        putNumber(record, value);
    }
    // The bytes a shrink drops go into the record as long as the journal takes them.
    if (bytes < oldSize && oldSize - bytes < UndoJournal::kMaxSavedBytes - kHeaderBytes) {
        const std::uint8_t* cut = provider_->rangeAt(bytes, oldSize - bytes);
        if (cut) record.insert(record.end(), cut, cut + (oldSize - bytes));
    }
    pushUndoRecord(kUndoGeometry, track_sector_t{}, 0, record, "Resize");
    provider_->setSize(bytes);
    geometry_ = geometry;
    setModified(true);
    return true;
}

void Disk::restoreGeometry(const undo_record_t& record) {
    if (!provider_ || record.saved.size() < kHeaderBytes) return;
    const disk_geometry_t previous = geometryAt(record.saved, 0);
    const std::uint64_t previousSize = numberAt(record.saved, 3);
    const std::uint64_t size = numberAt(record.saved, 7);
    provider_->setSize(previousSize);
    const std::size_t cut = record.saved.size() - kHeaderBytes;
    if (cut != 0 && size + cut == previousSize) {
        if (std::uint8_t* data = provider_->rangeAt(size, cut))
            std::copy(record.saved.begin() + kHeaderBytes, record.saved.end(), data);
    }
    geometry_ = previous;
    if (hasErrorBytes_ && errorBytes_.size() != previous.totalBlocks) errorBytes_.resize(previous.totalBlocks, 1);
}

}  // namespace platter
