#include "platter/formats/disk_g64.hpp"

#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/listing_documents.hpp"
#include "platter/formats/gcr_decoder.hpp"

namespace platter {

void DiskG64::parseImage() {
    DataProvider* provider = dataProvider();
    if (!provider) return;
    const std::uint8_t* start = provider->dataAt(0, track_sector_t{});
    const std::span<const std::uint8_t> file(start, start ? provider->available(0) : 0);
    GcrDecoder decoder;
    decoder.setFastFirst(true);
    bytes_t unpacked;
    if (!loadTracks(decoder, file, unpacked)) {
        markUnreadable();
        return;
    }
    decoder.decodeAllTracks();
    // The decoder has read the provider's bytes in place; only now are they replaced.
    provider->assign(decoder.buildD64());
    Disk41::parseImage();
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
