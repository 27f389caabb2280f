#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platter/formats/gcr_blocks.hpp"
#include "platter/formats/gcr_file.hpp"
#include "platter/formats/gcr_track_scan.hpp"
#include "platter/formats/gcr_track_table.hpp"

namespace platter {

class GcrTrackSyncs;

// Decodes the raw 1541 tracks of a G64 or NIB file into a D64 sector image,
// with the drive's error code for every sector that could not be read. Use:
// construct, setFastFirst(true), loadG64 or loadNib, then either takeImage, or
// imageAt for the tracks one needs and finishImage once every track counts.
// Each track is decoded once, so bytes changed through imageAt stay. Nothing
// in the track data can make it fail: every fault becomes the code of the
// sectors it touches.
class GcrDecoder {
public:
    static constexpr std::uint64_t kHighestTrack = 42;

    GcrDecoder();

    // Fast-first takes each track's disk ID from the track's own first header;
    // strict takes it once from track 18 and holds every track to it.
    void setFastFirst(bool fastFirst) { strict_ = !fastFirst; }
    // A track without a single sync mark is filled with zero bytes instead of
    // the format pattern.
    void setZeroFillMissing(bool zeroFill) { zeroFillMissing_ = zeroFill; }
    // A header of the wanted sector with a bad checksum gives 9 at once,
    // rather than the search going on round the track for a good copy.
    void setStrictHeaderErrors(bool strict) { strictHeaderErrors_ = strict; }

    // The file's bytes must outlive the decoder; a decoder serves one file. Loading
    // reads the file's table and the first bytes of each dump (all of it when they do
    // not tell where the dump belongs); a track's dump is read when it is decoded, and
    // one that cannot be read then has no sync.
    void loadG64(std::span<const std::uint8_t> file);
    void loadNib(std::span<const std::uint8_t> file);
    void loadG64(gcr_file_t file);
    void loadNib(gcr_file_t file);
    // By identification type: G64, or NIB of any version. False for any other.
    bool load(std::span<const std::uint8_t> file, std::uint32_t typeId);

    // Tracks the file's table lists but the file ends before, and that no other
    // dump took the place of: their blocks are missing from the image.
    std::vector<std::uint64_t> missingTracks() const;
    // False when the directory track is missing, or not one header of its
    // sectors can be read there: there is no disk to read. Decodes that track.
    bool holdsDisk();

    void decodeAllTracks();
    // A track already decoded is left as it is.
    void decodeTrack(std::uint64_t track);

    // The image without its error table: 35 tracks, or 40 (42) when a sector
    // beyond track 35 (40) was decoded or such a track is missing, which
    // decodes the tracks past 35 that have a dump. A sector that was not read holds the format
    // pattern 0x4B, 0x01 x 255 (or zeros, see setZeroFillMissing).
    std::uint64_t imageSize();
    // The image byte at offset, its track decoded first; up to imageSize, or
    // up to the end of the error table once finished. Null past that and on a
    // missing track.
    std::uint8_t* imageAt(std::uint64_t offset);
    // Bytes from offset to the end of its block (once finished, up to the next
    // missing track or the end); 0 on a missing track.
    std::uint64_t decodedBytesAt(std::uint64_t offset);
    // Whether the block at offset holds data: its sector was read whole, its track
    // decoded first. False for a sector that gave an error code, whose bytes are
    // only the format pattern or what a bad checksum left, and past the blocks.
    bool isReadableAt(std::uint64_t offset);
    // Decodes every track; when any sector failed, one error byte per sector
    // follows the image. Gives the size of both.
    std::uint64_t finishImage();
    bool finished() const { return finishedSize_ != 0; }
    // finishImage, then a copy of its bytes.
    std::vector<std::uint8_t> takeImage();

private:
    // The dump filed under one track: where its revolution lies in the file, and its
    // bytes once they were read.
    struct slot_t {
        bool present = false;
        gcr_code code = kGcrGood;  // good: the scan found a header, read its sectors
        bool noSyncMark = false;
        std::uint64_t offset = 0;
        std::uint64_t length = 0;
        std::span<const std::uint8_t> bytes;
    };
    // A dump's first look, and where the revolution it found starts in the file.
    struct filed_scan_t {
        gcr_scan_t scan;
        std::uint64_t offset = 0;
    };

    static std::size_t blockIndex(std::uint64_t track, std::uint64_t sector);
    static std::uint64_t trackOfBlock(std::uint64_t block);
    void fileTracks(const std::vector<gcr_entry_t>& entries);
    // Nothing when the dump cannot be read. `scratch` is zeros, as long as the longest dump.
    std::optional<filed_scan_t> scanDump(const gcr_entry_t& entry, std::vector<std::uint8_t>& scratch) const;
    // The bytes of a track's dump, read when first asked for.
    std::span<const std::uint8_t> slotBytes(std::uint64_t track);
    // The track of an offset into the image's blocks is missing (false past the blocks).
    bool isMissingAt(std::uint64_t offset);
    void readDiskId();
    // The searches walk the track's syncs round the ring; a sector's search starts at
    // `bit` and leaves it where the drive's head would be.
    gcr_code findFirstHeader(const GcrTrackSyncs& syncs, bool takeId);
    gcr_code findSectorHeader(const GcrTrackSyncs& syncs, std::size_t& bit, std::uint64_t track,
                              std::uint64_t sector) const;
    // Finds the sync of the data block after a header and leaves `bit` past the block;
    // its bytes are decoded when the block is first asked for (readBlock).
    gcr_code findDataBlock(const GcrTrackSyncs& syncs, std::size_t& bit, std::uint64_t track, std::uint64_t sector);
    // Decodes the block's data when it is still to be read; gives its code.
    gcr_code readBlock(std::size_t block);

    gcr_file_t file_;
    std::array<slot_t, kHighestTrack + 1> slots_{};
    std::array<bool, kHighestTrack + 1> missing_{};
    // Every block of a 42-track D64, in D64 order, with room for the error
    // table after it, and what reading each block gave. A track's blocks are
    // written when it is decoded, never before.
    std::unique_ptr<std::uint8_t[]> sectors_;
    std::vector<gcr_code> codes_;
    // Per block, the bit of its track where the data block's sync ends while its
    // bytes are still to be decoded; kDecoded once they are, or when there are none.
    static constexpr std::uint32_t kDecoded = UINT32_MAX;
    std::vector<std::uint32_t> pendingData_;
    std::array<bool, kHighestTrack + 1> decoded_{};
    // Decoding the track found the header of at least one of its sectors.
    std::array<bool, kHighestTrack + 1> headerFound_{};
    std::uint64_t highestDecodedTrack_ = 0;
    std::uint64_t imageSize_ = 0;
    std::uint64_t finishedSize_ = 0;
    std::array<std::uint8_t, 2> diskId_{};
    bool strict_ = false;
    bool diskIdRead_ = false;
    bool zeroFillMissing_ = false;
    bool strictHeaderErrors_ = false;
};

}  // namespace platter
