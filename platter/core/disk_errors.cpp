#include "platter/core/data_provider.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/error_byte.hpp"

namespace platter {

bool Disk::toggleErrorCodeMode() {
    errorCodeMode_ = !errorCodeMode_;
    return errorCodeMode_;
}

bool Disk::toggleErrorBytes() { return setErrorBytes(!hasErrorBytes(), 1); }

bool Disk::hasErrorBytes() const {
    const_cast<Disk*>(this)->completeImage();
    return hasErrorBytes_;
}

const Disk::bytes_t& Disk::errorBytes() const {
    const_cast<Disk*>(this)->completeImage();
    return errorBytes_;
}

std::optional<std::size_t> Disk::errorByteIndex(const track_sector_t& block) const {
    if (!hasErrorBytes_ || errorBytes_.empty() || block.track == 0) return std::nullopt;
    std::uint64_t index = 0;
    for (std::uint64_t t = 1; t < block.track; ++t) {
        index += maxSector(t) + 1;
        if (index >= errorBytes_.size()) return std::nullopt;
    }
    index += block.sector;
    if (index >= errorBytes_.size()) return std::nullopt;
    return static_cast<std::size_t>(index);
}

std::uint8_t* Disk::errorBytePointer(const track_sector_t& block) {
    completeImage();
    const std::optional<std::size_t> index = errorByteIndex(block);
    return index ? &errorBytes_[*index] : nullptr;
}

bool Disk::errorByteMarksBlockUnread(const track_sector_t& block) const {
    if (!hasErrorBytes_) return false;
    const std::optional<std::size_t> index = errorByteIndex(block);
    return index && errorByteMarksUnread(errorBytes_[*index]);
}

bool Disk::recordsFailedRead(const track_sector_t& block) const {
    return errorByteMarksBlockUnread(block) && (!provider_ || provider_->isBlockReadable(blockOffset(block)));
}

std::uint8_t Disk::errorCode(const track_sector_t& block) {
    const std::uint8_t* code = errorBytePointer(block);
    return code ? *code : 0;
}

bool Disk::setErrorCode(const track_sector_t& block, std::uint32_t code) {
    std::uint8_t* byte = errorBytePointer(block);
    if (!byte || *byte == static_cast<std::uint8_t>(code)) return false;
    setModified(true);
    pushUndoRecord(kUndoErrorByte, block, 0, std::span<const std::uint8_t>(byte, 1), "Error");
    *byte = static_cast<std::uint8_t>(code);
    return true;
}

bool Disk::setErrorBytes(bool present, std::uint8_t fillCode) {
    completeImage();
    hasErrorBytes_ = present;
    if (present) {
        const std::uint64_t length = geometry_.totalBlocks;
        if (errorBytes_.size() == length) return true;
        errorBytes_.resize(length, fillCode);
    } else {
        if (errorBytes_.empty()) return false;
        errorBytes_.clear();
    }
    pushUndoRecord(kUndoExtendErrors, track_sector_t{}, 0, {}, "Extend Errors");
    setModified(true);
    return hasErrorBytes_;
}

void Disk::loadErrorBytes(std::uint64_t count) {
    if (count == 0) return;
    hasErrorBytes_ = true;
    const std::uint64_t size = providerSize();
    const std::uint8_t* source = nullptr;
    if (size >= count) source = provider_->rangeAt(size - count, count);
    if (!source) {
        errorBytes_.assign(count, 0);
        return;
    }
    errorBytes_.assign(source, source + count);
    if (errorBytes_.front() > 12) {
        errorCodeMode_ = true;
        for (auto& b : errorBytes_) b = b == 0 ? 1 : static_cast<std::uint8_t>(b - 18);
    }
}

void Disk::parseFixedSizeImage() {
    lastError_ = kErrNone;
    const std::uint64_t size = providerSize();
    if (size == defaultImageSize_) return;
    if (size == defaultImageSize_ + geometry_.totalBlocks) {
        loadErrorBytes(geometry_.totalBlocks);
        return;
    }
    markSizeUnknown();
}

}  // namespace platter
