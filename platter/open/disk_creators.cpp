#include "platter/open/disk_creators.hpp"

#include "platter/core/disk.hpp"
#include "platter/open/format_classes.hpp"

namespace platter {
namespace {

template <format_id Id>
std::unique_ptr<Disk> makeDisk() {
    return makeDiskOfFormat(Id);
}

}  // namespace

// Every image class under its class name.
const std::map<std::string, DiskCreator>& diskCreators() {
    static const std::map<std::string, DiskCreator> creators = {
        {"Disk41", &makeDisk<format_id::d64>},      {"Disk71", &makeDisk<format_id::d71>},
        {"Disk80", &makeDisk<format_id::d80>},      {"Disk81", &makeDisk<format_id::d81>},
        {"Disk82", &makeDisk<format_id::d82>},      {"Disk8B", &makeDisk<format_id::d8b>},
        {"DiskFI", &makeDisk<format_id::dfi>},      {"DiskNP", &makeDisk<format_id::dnp>},
        {"DiskD1M", &makeDisk<format_id::d1m>},     {"DiskD2M", &makeDisk<format_id::d2m>},
        {"DiskD4M", &makeDisk<format_id::d4m>},     {"DiskDHM", &makeDisk<format_id::dhd>},
        {"DiskG64", &makeDisk<format_id::g64>},     {"DiskNIB", &makeDisk<format_id::nib>},
        {"DiskNBZ", &makeDisk<format_id::nbz>},     {"DiskT64", &makeDisk<format_id::t64>},
        {"DiskIDE64", &makeDisk<format_id::ide64>},
    };
    return creators;
}

}  // namespace platter
