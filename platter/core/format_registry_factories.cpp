#include "platter/core/format_registry_factories.hpp"

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/open_container_failure.hpp"
#include "platter/formats/disk41.hpp"

#include <string>

namespace platter {
namespace {

void reportNotSupported(std::uint32_t formatId) {
    const container_format_t* row = formatById(formatId);
    const std::string name = row ? std::string(row->name) : "id " + std::to_string(formatId);
    setOpenFailure("the " + name + " format is not supported yet");
}

}  // namespace

// Every image class is reached through this one switch; a row whose class is not built yet
// fails here with a clear text instead of producing an empty image.
std::unique_ptr<Disk> makeDiskOfFormat(std::uint32_t formatId) {
    switch (formatId) {
        case kFormatD64: return std::make_unique<Disk41>();
        default: break;
    }
    const container_format_t* row = formatById(formatId);
    if (row && (row->category & kCategoryImage)) reportNotSupported(formatId);
    return nullptr;
}

std::unique_ptr<Disk> createBlankDisk(std::uint32_t formatId, std::uint32_t formatArgument) {
    switch (formatId) {
        case 1:
        case 2:
        case 3:
        case 16:
        case 17:
        case 18:
        case 21:
        case 22:
        case 23:
        case 30:
        case 48:
        case 49: break;
        default: return nullptr;
    }
    std::unique_ptr<Disk> disk = makeDiskOfFormat(formatId);
    if (!disk || !disk->open({}, false, true, formatArgument)) return nullptr;
    return disk;
}

std::unique_ptr<Disk> openImageOfFormat(std::uint32_t formatId, const std::filesystem::path& /*path*/,
                                        const std::vector<std::uint8_t>* /*bytes*/) {
    return makeDiskOfFormat(formatId);
}

std::unique_ptr<Disk> openM2iIndex(std::uint32_t formatId, const std::filesystem::path& /*path*/,
                                   const std::vector<std::uint8_t>* /*bytes*/) {
    reportNotSupported(formatId);
    return nullptr;
}

}  // namespace platter
