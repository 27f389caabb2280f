#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "platter/formats/bam_disk.hpp"

namespace platter {

// The 1541 image (D64): 35, 40 or 42 tracks of 17-21 sectors, BAM and header in
// 18/0 with three extended-BAM layouts for tracks 36-40 of 40-track images (42-track
// images have no BAM bits past track 35), directory on track 18, optionally followed
// by one error byte per block.
class Disk41 : public BamDisk {
public:
    static constexpr std::uint64_t kSize35 = 174848;
    static constexpr std::uint64_t kSize40 = 196608;
    static constexpr std::uint64_t kSize42 = 205312;
    static constexpr std::uint64_t kBlocks35 = 683;
    static constexpr std::uint64_t kBlocks40 = 768;
    static constexpr std::uint64_t kBlocks42 = 802;
    static constexpr std::uint64_t kDirectoryTrack = 18;

    // Extended BAM layouts of 40-track images (the values are the layout types).
    enum extended_bam : int { kExtendedNone = 0, kExtendedDolphin = 1, kExtendedPrologic = 2, kExtendedSpeed = 3 };

    Disk41();
    // A class whose images hold the same blocks (G64, NIB) passes its own registry id.
    explicit Disk41(format_id id);

    void parseImage() override;
    bool makeGeosDisk() override;
    bool isGeosDisk() const override;
    bool canMakeGeosDisk() const override { return true; }

    std::uint64_t blocksFree() const override;
    std::uint64_t maxSector(std::uint64_t track) const override;
    bool isBamBlock(const track_sector_t& block) const override;
    std::uint64_t blockOffset(const track_sector_t& block) const override;
    bool nextDirectorySector(track_sector_t& block) override;
    bool extendDisk(bool toForty) override;
    std::uint8_t* allocateBlock(track_sector_t& block, bool markUsed) override;
    const std::uint8_t* diskName() const override;
    const std::uint8_t* diskId() const override;
    void initBam() override;
    bool formatImage(std::uint32_t formatArg) override;
    void snapshotBam() override;

    // Fills every sector from `firstTrack` on with the fill byte or the 1541
    // format pattern (0x4B, then 0x01 x 255).
    virtual bool fillTracks(std::uint64_t firstTrack, bool useFillByte);

    bool fortyTracks() const { return trackCount() == 40; }
    // The extended-BAM layout of a 40-track image, decided once: when the image is parsed, or
    // when extendDisk writes one. While none is known it is looked for again at each use, so a
    // BAM patched in place is seen; a known layout stays, even where its entries become all
    // zero (every block of those tracks used).
    int extendedBamType() const;
    // The extended-BAM layout that a BAM block shows, whatever the tracks of its image:
    // consistent entries at 0xC0, 0xAC or 0x90, else PrologicDOS when its area is all zero and
    // its name slot holds a name.
    static int extendedBamLayoutOf(std::span<const std::uint8_t> bam);
    // Whether that layout has blocks of tracks 36-40 in use: files of the disk lie there.
    static bool extendedBamUsesBlocks(std::span<const std::uint8_t> bam);
    static std::uint64_t sectorsOnTrack(std::uint64_t track);
    // Whether a block is a 1541 header (18/0): BAM entries of tracks 1-35 that agree with
    // themselves, or the link to the directory track and the DOS version 'A' of a full disk.
    static bool isHeaderBlock(std::span<const std::uint8_t> block);
    // The tracks of an image whose bytes another step shaped (a partition's window, a decoded
    // zipcode set) are its size's, whatever its BAM names. Called before it opens.
    void keepTracksOfSize() { tracksFromBam_ = false; }
    // Block index of sector 0 of a 1541 track (1-40).
    static std::uint64_t firstBlockOfTrack(std::uint64_t track);

protected:
    std::uint64_t sectorsOf(std::uint64_t track) const override { return sectorsOnTrack(track); }
    // A track's 4-byte entry in the BAM block: tracks 36-40 only in an extended-BAM layout.
    std::optional<BamTrack> bamEntry(std::uint64_t track) const override;
    bool findOnTrack(std::uint64_t track, std::uint64_t sector, track_sector_t& block);
    // Writes the header block of a new image (link to the first directory
    // block, DOS version, empty name and id, DOS type) and an empty first
    // directory block.
    void writeNewHeader();

private:
    // The layout the BAM block shows now, on a 40-track image.
    int detectExtendedBam() const;
    // `count` bytes of the file from `offset`, or an empty span where it ends before them.
    std::span<const std::uint8_t> fileBytes(std::uint64_t offset, std::uint64_t count) const;

    mutable int extendedBam_ = kExtendedNone;
    bool tracksFromBam_ = true;
};

}  // namespace platter
