#include "platter/formats/header_kind.hpp"

#include "platter/formats/disk71.hpp"
#include "platter/formats/disk80.hpp"

namespace platter {

format_id kindNamedByHeader(format_id identified, const FileBlockReader& read) {
    switch (identified) {
        case format_id::d64: {
            const std::uint64_t header = Disk41::firstBlockOfTrack(Disk41::kDirectoryTrack) * Disk::kBlockSize;
            return Disk71::namesTwoSides(read(header)) ? format_id::d71 : identified;
        }
        case format_id::d80: {
            const std::uint64_t secondBam = Disk80::offsetOf(makeBlock(Disk80::kBamTrack, 3));
            return Disk80::namesDoubleSidedTracks(read(secondBam)) ? format_id::d82 : identified;
        }
        default: return identified;
    }
}

format_id kindNamedByHeader(format_id identified, std::span<const std::uint8_t> file) {
    return kindNamedByHeader(identified, [file](std::uint64_t offset) {
        if (offset > file.size() || file.size() - offset < Disk::kBlockSize) return std::span<const std::uint8_t>();
        return file.subspan(offset, Disk::kBlockSize);
    });
}

}  // namespace platter
