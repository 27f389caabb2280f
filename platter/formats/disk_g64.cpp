#include "platter/formats/disk_g64.hpp"

#include <memory>
#include <utility>

#include "forge/strings.hpp"
#include "platter/core/data_provider.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/listing_documents.hpp"
#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/gcr_track_provider.hpp"

namespace platter {

// The provider that holds the file's bytes goes behind the one that decodes
// them, which keeps it for as long as the image is open.
void DiskG64::parseImage() {
    DataProvider* provider = dataProvider();
    if (!provider) return;
    auto tracks = std::make_unique<GcrTrackProvider>();
    GcrTrackProvider& lazy = *tracks;
    std::unique_ptr<DataProvider> file = replaceDataProvider(std::move(tracks));
    if (!file) {
        // A provider this image does not own: its bytes are copied.
        const std::uint8_t* start = provider->dataAt(0, track_sector_t{});
        bytes_t bytes;
        if (start) bytes.assign(start, start + provider->available(0));
        file = std::make_unique<DataProvider>(std::move(bytes), provider->name());
    }
    lazy.holdFile(std::move(file));
    if (!loadTracks(lazy.decoder(), lazy.file(), lazy.unpacked()) || !lazy.decoder().holdsDisk()) {
        markUnreadable();
        return;
    }
    // Changed and held whole, the image would read its missing tracks as formatted ones.
    missingTracks_ = lazy.decoder().missingTracks();
    if (!missingTracks_.empty()) markIncomplete();
    complete_ = false;
    Disk41::parseImage();
}

std::vector<std::string> DiskG64::damageNotes() const {
    if (missingTracks_.empty()) return {};
    const bool one = missingTracks_.size() == 1;
    return {std::string(one ? "track " : "tracks ") + forge::numberRuns(missingTracks_) + " past the end of the file " +
            (one ? "is" : "are") + " missing"};
}

bool DiskG64::missesBlocks() const { return !missingTracks_.empty() || Disk41::missesBlocks(); }

void DiskG64::completeImage() {
    if (complete_) return;
    complete_ = true;
    auto* tracks = dynamic_cast<GcrTrackProvider*>(dataProvider());
    if (tracks && tracks->finish()) loadErrorBytes(totalBlocks());
}

bool DiskG64::loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t&) const {
    decoder.loadG64(file);
    return true;
}

std::optional<forge::save_failure_t> DiskG64::saveAs(const path& target, const listing_request_t& request) {
    const container_format_t* row = formatByExtension(target.extension().string());
    if (row && row->id != format_id::d64 && !isListingDocument(row->id)) {
        setLastError(kErrImageWrite);
        return forge::save_failure_t{false, "a GCR image is saved as a D64 only"};
    }
    return Disk41::saveAs(target, request);
}

}  // namespace platter
