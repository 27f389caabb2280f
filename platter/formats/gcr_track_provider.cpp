#include "platter/formats/gcr_track_provider.hpp"

#include <utility>

#include "platter/core/file_data_provider.hpp"

namespace platter {

GcrTrackProvider::GcrTrackProvider() { decoder_.setFastFirst(true); }

void GcrTrackProvider::holdFile(std::unique_ptr<DataProvider> file) {
    file_ = std::move(file);
    name_ = file_->name();
    // Each range alone: a dump's length and first bytes (two blocks), or one track's dump.
    if (auto* onDemand = dynamic_cast<FileDataProvider*>(file_.get())) onDemand->setReadAhead(2);
    fileBytes_ = gcrFileOf(*file_);
}

bool GcrTrackProvider::finish() {
    if (!whole_) hasErrorTable_ = decoder_.finishImage() != decoder_.imageSize();
    return hasErrorTable_;
}

void GcrTrackProvider::holdWhole() {
    if (whole_) return;
    finish();
    bytes_ = decoder_.takeImage();
    whole_ = true;
    readFailed_ = file_ && file_->readFailed();
    file_.reset();
    fileBytes_ = {};
    unpacked_ = {};
}

void GcrTrackProvider::setSize(std::uint64_t bytes) {
    holdWhole();
    DataProvider::setSize(bytes);
}

std::uint64_t GcrTrackProvider::size() const {
    if (whole_) return DataProvider::size();
    return decoder_.finished() ? decoder_.finishImage() : decoder_.imageSize();
}

bool GcrTrackProvider::assign(std::span<const std::uint8_t> data) {
    holdWhole();
    return DataProvider::assign(data);
}

std::uint8_t* GcrTrackProvider::dataAt(std::uint64_t offset, const track_sector_t& block) {
    if (whole_) return DataProvider::dataAt(offset, block);
    return decoder_.imageAt(offset);
}

std::uint64_t GcrTrackProvider::available(std::uint64_t offset) const {
    if (whole_) return DataProvider::available(offset);
    return decoder_.decodedBytesAt(offset);
}

bool GcrTrackProvider::readFailed() const { return file_ ? file_->readFailed() : readFailed_; }

bool GcrTrackProvider::isBlockReadable(std::uint64_t offset) {
    if (whole_ && offset >= decoder_.imageSize()) return DataProvider::isBlockReadable(offset);
    return decoder_.isReadableAt(offset);
}

}  // namespace platter
