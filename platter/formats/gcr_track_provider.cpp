#include "platter/formats/gcr_track_provider.hpp"

#include <utility>

namespace platter {

GcrTrackProvider::GcrTrackProvider(std::vector<std::uint8_t> file, std::string name) : file_(std::move(file)) {
    name_ = std::move(name);
    decoder_.setFastFirst(true);
}

bool GcrTrackProvider::finish() {
    if (!whole_) hasErrorTable_ = decoder_.finishImage() != decoder_.imageSize();
    return hasErrorTable_;
}

// The image moves into the plain provider's buffer without a copy, so
// pointers handed out so far stay valid until the size changes.
void GcrTrackProvider::holdWhole() {
    if (whole_) return;
    finish();
    bytes_ = decoder_.takeImage();
    whole_ = true;
    file_ = {};
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

}  // namespace platter
