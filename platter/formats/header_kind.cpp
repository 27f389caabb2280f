#include "platter/formats/header_kind.hpp"

#include "platter/formats/disk71.hpp"
#include "platter/formats/disk80.hpp"
#include "platter/formats/disk81.hpp"

namespace platter {

namespace {

std::uint64_t d64HeaderOffset() { return Disk41::firstBlockOfTrack(Disk41::kDirectoryTrack) * Disk::kBlockSize; }

// The larger kind the header of an image of the identified kind names, or that kind.
format_id largerKindOfHeader(format_id identified, const FileBlockReader& read) {
    switch (identified) {
        case format_id::d64: return Disk71::namesTwoSides(read(d64HeaderOffset())) ? format_id::d71 : identified;
        case format_id::d80: {
            const std::uint64_t secondBam = Disk80::offsetOf(makeBlock(Disk80::kBamTrack, 3));
            return Disk80::namesDoubleSidedTracks(read(secondBam)) ? format_id::d82 : identified;
        }
        default: return identified;
    }
}

// Whether the file holds the BAM an image of `kind` keeps. A kind identification names by its
// size alone is no image of that kind without it; the others are named by what they hold.
bool holdsBamOf(format_id kind, const FileBlockReader& read) {
    switch (kind) {
        case format_id::d64:
        case format_id::d71: return Disk41::isHeaderBlock(read(d64HeaderOffset()));
        case format_id::d80:
        case format_id::d82: return Disk80::namesFirstTracks(read(Disk80::offsetOf(makeBlock(Disk80::kBamTrack, 0))));
        case format_id::d81: {
            constexpr std::uint64_t kFirstBam = (Disk81::kDirectoryTrack - 1) * Disk81::kSectors + 1;
            return Disk81::isFirstBam(read(kFirstBam * Disk::kBlockSize));
        }
        default: return true;
    }
}

// Image kinds an extension may name for a file cut to a smaller kind's size.
bool isBlockImageKind(format_id kind) {
    switch (kind) {
        case format_id::d64:
        case format_id::d71:
        case format_id::d80:
        case format_id::d81:
        case format_id::d82:
        case format_id::dnp:
        case format_id::d1m:
        case format_id::d2m:
        case format_id::d4m: return true;
        default: return false;
    }
}

// Whether an image of kind `host` may begin with a whole image of kind `kind`: a CMD image's
// first partition, so the smaller kind's BAM there says nothing.
bool mayBeginWith(format_id host, format_id kind) {
    const bool cmd = host == format_id::d1m || host == format_id::d2m || host == format_id::d4m;
    return cmd && (kind == format_id::d64 || kind == format_id::d71 || kind == format_id::d81);
}

}  // namespace

format_id kindNamedByHeader(format_id identified, const FileBlockReader& read, format_id named) {
    const format_id byHeader = largerKindOfHeader(identified, read);
    if (byHeader != identified || named == identified || !isBlockImageKind(named) || !isBlockImageKind(identified))
        return byHeader;
    return mayBeginWith(named, identified) || !holdsBamOf(identified, read) ? named : identified;
}

format_id kindNamedByHeader(format_id identified, std::span<const std::uint8_t> file, format_id named) {
    return kindNamedByHeader(
        identified,
        [file](std::uint64_t offset) {
            if (offset > file.size() || file.size() - offset < Disk::kBlockSize) return std::span<const std::uint8_t>();
            return file.subspan(offset, Disk::kBlockSize);
        },
        named);
}

}  // namespace platter
