#include "platter/formats/disk_dhd.hpp"

#include <memory>

#include "forge/save_file.hpp"
#include "platter/core/buffered_data_provider.hpp"
#include "platter/core/format_registry.hpp"

namespace platter {

namespace {

// The table lies on track 5 and holds 256 entries; partitions start behind the system header
// (block 1057), so none covers the table or the header.
constexpr cmd_layout_t kDhdLayout{format_id::dhd, 0, 0, makeBlock(4, 0), makeBlock(5, 33), 4, 32, 529, 12, 128};

}  // namespace

DiskDHM::DiskDHM() : DiskD2M(kDhdLayout) {}

bool DiskDHM::open(const path& file, bool existing, bool format, std::uint32_t formatArg) {
    auto provider = std::make_unique<BufferedDataProvider>();
    file_ = provider.get();
    adoptDataProvider(std::move(provider));
    return Disk::open(file, existing, format, formatArg);
}

std::optional<forge::save_failure_t> DiskDHM::saveAs(const path& target, const listing_request_t& request) {
    const container_format_t* row = formatByExtension(target.extension().string());
    if (!file_ || (row && row->id != format_id::dhd)) return Disk::saveAs(target, request);
    setLastError(kErrNone);
    if (std::optional<forge::save_failure_t> refused = refusedSave()) return refused;
    const path out = row ? target : path(target).replace_extension(".dhd");
    std::optional<forge::save_failure_t> failure = saveThrough(out, [this](forge::SaveSink& sink) {
        return file_->copyWithChanges([&sink](std::span<const std::uint8_t> piece) { return sink.write(piece); });
    });
    if (failure) return failure;
    file_->changesSaved(out);
    setPathForFormat(out);
    setModified(false);
    return std::nullopt;
}

}  // namespace platter
