#include "platter/formats/disk_g64.hpp"

#include <memory>
#include <utility>

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/listing_documents.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/gcr_track_provider.hpp"

namespace platter {

// The file's bytes are copied: the provider that holds them goes, and the
// decoder reads them for as long as the image is open.
void DiskG64::parseImage() {
    DataProvider* provider = dataProvider();
    if (!provider) return;
    const std::uint8_t* start = provider->dataAt(0, track_sector_t{});
    bytes_t file;
    if (start) file.assign(start, start + provider->available(0));
    auto tracks = std::make_unique<GcrTrackProvider>(std::move(file), provider->name());
    if (!loadTracks(tracks->decoder(), tracks->file(), tracks->unpacked())) {
        markUnreadable();
        return;
    }
    complete_ = false;
    adoptDataProvider(std::move(tracks));
    Disk41::parseImage();
}

void DiskG64::completeImage() {
    if (complete_) return;
    complete_ = true;
    auto* tracks = dynamic_cast<GcrTrackProvider*>(dataProvider());
    if (tracks && tracks->finish()) loadErrorBytes(totalBlocks());
}

bool DiskG64::loadTracks(GcrDecoder& decoder, std::span<const std::uint8_t> file, bytes_t&) const {
    decoder.loadG64(file);
    return true;
}

bool DiskG64::saveAs(const path& target, const listing_request_t& request) {
    const container_format_t* row = formatByExtension(target.extension().string());
    if (row && row->id != format_id::d64 && !isListingDocument(row->id)) {
        setLastError(kErrImageWrite);
        return false;
    }
    return Disk41::saveAs(target, request);
}

}  // namespace platter
