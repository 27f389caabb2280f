// Host image files inserted into a CMD image as partitions of their kind.

#include <array>
#include <memory>

#include "forge/files.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/formats/disk71.hpp"
#include "platter/formats/disk81.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/disk_g64.hpp"
#include "platter/formats/header_kind.hpp"
#include "platter/formats/disk_nib.hpp"
#include "platter/formats/disk_np.hpp"

namespace platter {

namespace {

// No image a partition holds is larger than the largest native partition.
constexpr std::uint64_t kLargestImage = DiskNP::kMaxTracks * DiskNP::kTrackBytes;

// The kind the opening step gives the file: what its bytes are identified as, else its extension.
format_id hostImageKind(const std::filesystem::path& file, std::span<const std::uint8_t> bytes) {
    const container_format_t* row = formatByExtension(file.extension().string());
    const format_id named = row ? row->id : format_id::none;
    const format_id identified = kindNamedByHeader(formatIdForType(fileid::identify(bytes).front().type), bytes, named);
    return identified != format_id::none ? identified : named;
}

// An unopened image of a kind a partition can hold; null for other kinds.
std::unique_ptr<Disk> partitionImageOf(format_id id) {
    switch (id) {
        case format_id::d64: return std::make_unique<Disk41>();
        case format_id::g64: return std::make_unique<DiskG64>();
        case format_id::nib: return std::make_unique<DiskNIB>();
        case format_id::d71: return std::make_unique<Disk71>();
        case format_id::d81: return std::make_unique<Disk81>();
        case format_id::dnp: return std::make_unique<DiskNP>();
        default: return nullptr;
    }
}

}  // namespace

// The partition is named after the image's disk; raw-track images become the 1541 partition
// of the disk their tracks hold.
bool DiskD2M::importHostFile(const path& file, std::int64_t position) {
    setLastError(kErrNone);
    forge::file_t host;
    switch (forge::isRegularFile(file.string()) ? forge::readFileUpTo(file.string(), kLargestImage, host)
                                                : forge::read_status::failed) {
        case forge::read_status::read: break;
        case forge::read_status::tooLarge: setLastError(kErrNotPartition); return false;
        case forge::read_status::failed: setLastError(kErrOpenFile); return false;
    }
    std::unique_ptr<Disk> image = partitionImageOf(hostImageKind(file, host.data));
    if (!image) {
        setLastError(kErrNotPartition);
        return false;
    }
    if (!image->openBytes(file, std::move(host.data))) {
        setLastError(kErrOpenFile);
        return false;
    }
    std::array<std::uint8_t, 16> name;
    name.fill(0xa0);
    image->getDiskName(name);
    return insertImage(*image, name, position);
}

}  // namespace platter
