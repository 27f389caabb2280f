#pragma once

#include "platter/formats/disk41.hpp"
#include "platter/formats/gcr_file.hpp"

namespace platter {

class GcrDecoder;

// A G64 image: the raw GCR tracks of a 1541 disk. It opens as the D64 its
// tracks decode to and from then on is one: a sector that could not be read
// is no data (isBlockReadable is false), holds the format pattern and carries
// the drive's error code. The blocks of a track the file ends before are
// missing, as past the end of a cut D64; without its directory track, or
// without one header there that can be read, the file does not open. Tracks
// are decoded as their blocks are read; the error codes of all of them once
// they are asked for. There is no writer of raw tracks, so the image saves
// only as a D64, never over the file it came from.
class DiskG64 : public Disk41 {
public:
    void parseImage() override;
    // The image goes only to a .d64 target (or one without a known extension, which
    // becomes .d64): any other image kind, the raw file's own among them, is refused with
    // last error kErrImageWrite. Listing documents are written as for any image.
    std::optional<forge::save_failure_t> saveAs(const path& target, const listing_request_t& request = {}) override;
    std::vector<std::string> damageNotes() const override;

protected:
    // Past a cut file's end, or in a track the file's table points past its end.
    bool missesBlocks() const override;
    void completeImage() override;
    // Hands the file's tracks to the decoder, which reads them through `file` as they are
    // needed. `unpacked` keeps bytes the
    // decoder reads when the file must be unpacked first. False when the file
    // cannot be read as this kind at all.
    virtual bool loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t& unpacked) const;

private:
    bool complete_ = false;
    std::vector<std::uint64_t> missingTracks_;
};

}  // namespace platter
