#include "platter/open/format_classes.hpp"

#include <unordered_map>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/disk71.hpp"
#include "platter/formats/disk80.hpp"
#include "platter/formats/disk81.hpp"
#include "platter/formats/disk8b.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/disk_dhd.hpp"
#include "platter/formats/disk_fi.hpp"
#include "platter/formats/disk_t64.hpp"
#include "platter/formats/disk_g64.hpp"
#include "platter/formats/disk_ide64.hpp"
#include "platter/formats/disk_nbz.hpp"
#include "platter/formats/disk_nib.hpp"
#include "platter/formats/disk_np.hpp"
#include "platter/open/open_container.hpp"
#include "platter/open/open_m2i.hpp"
#include "platter/open/open_zipcode.hpp"

namespace platter {
namespace {

constexpr ContainerOpener kSingleFile = &openSingleFileAsDisk;

// Every kind this build can open, one line each: an image class, an archive importer, or an
// opener of its own. Kinds of the registry without a line are reported as not built yet.
constexpr format_class_t kFormatClasses[] = {
    {format_id::d64, &makeImage<Disk41>},
    {format_id::d71, &makeImage<Disk71>},
    {format_id::d80, &makeImage<Disk80>},
    {format_id::d82, &makeImage<Disk82>},
    {format_id::d81, &makeImage<Disk81>},
    {format_id::d8b, &makeImage<Disk8B>},
    {format_id::dfi, &makeImage<DiskFI>},
    {format_id::t64, &makeImage<DiskT64>},
    {format_id::g64, &makeImage<DiskG64>},
    {format_id::nib, &makeImage<DiskNIB>},
    {format_id::nbz, &makeImage<DiskNBZ>},
    {format_id::dnp, &makeImage<DiskNP>},
    {format_id::d1m, &makeImage<DiskD1M>},
    {format_id::d2m, &makeImage<DiskD2M>},
    {format_id::d4m, &makeImage<DiskD4M>},
    {format_id::dhd, &makeImage<DiskDHM>},
    {format_id::ide64, &makeImage<DiskIDE64>},
    {format_id::prg, nullptr, nullptr, kSingleFile},
    {format_id::usr, nullptr, nullptr, kSingleFile},
    {format_id::rel, nullptr, nullptr, kSingleFile},
    {format_id::seq, nullptr, nullptr, kSingleFile},
    {format_id::unknown, nullptr, nullptr, kSingleFile},
    {format_id::p00, nullptr, nullptr, kSingleFile},
    {format_id::u00, nullptr, nullptr, kSingleFile},
    {format_id::r00, nullptr, nullptr, kSingleFile},
    {format_id::s00, nullptr, nullptr, kSingleFile},
    {format_id::del, nullptr, nullptr, kSingleFile},
    {format_id::cmd, nullptr, nullptr, kSingleFile},
    {format_id::cbm, nullptr, nullptr, kSingleFile},
    {format_id::m2i, nullptr, nullptr, &openM2iIndex},
    {format_id::zipcode, nullptr, nullptr, &openZipcodeKind},
    {format_id::arc, nullptr, &importArc},
    {format_id::sda, nullptr, &importSda},
    {format_id::lha, nullptr, &importLha},
    {format_id::sfx, nullptr, &importSfx},
    {format_id::lynx, nullptr, &importLnx},
    {format_id::cvt, nullptr, &importCvt},
    {format_id::ark, nullptr, &importArk},
    {format_id::wr3, nullptr, &importWr3},
    {format_id::lbr, nullptr, &importLbr},
    {format_id::spy, nullptr, &importSpy},
};

}  // namespace

const format_class_t* formatClass(format_id id) {
    static const auto index = [] {
        std::unordered_map<format_id, const format_class_t*> map;
        for (const format_class_t& line : kFormatClasses) map[line.id] = &line;
        return map;
    }();
    const auto it = index.find(id);
    return it == index.end() ? nullptr : it->second;
}

std::unique_ptr<Disk> makeDiskOfFormat(format_id id) {
    const format_class_t* line = formatClass(id);
    return line && line->makeImage ? line->makeImage() : nullptr;
}

open_result_t createBlankDisk(format_id id, std::uint32_t formatArgument) {
    const container_format_t* row = formatById(id);
    if (!row || !row->createsBlank) return {};
    std::unique_ptr<Disk> disk = makeDiskOfFormat(id);
    if (!disk) return {nullptr, formatNotBuiltText(id)};
    if (!disk->open({}, false, true, formatArgument)) return {};
    return {std::move(disk), {}};
}

std::string formatNotBuiltText(format_id id) { return "the " + formatName(id) + " format is not supported yet"; }

}  // namespace platter
