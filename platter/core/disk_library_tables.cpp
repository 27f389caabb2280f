#include "platter/core/disk_library.hpp"

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"

namespace platter {
namespace {

template <std::uint32_t FormatId>
std::unique_ptr<Disk> makeDisk() {
    return makeDiskOfFormat(FormatId);
}

}  // namespace

// Every image class under its class name.
const std::map<std::string, DiskCreator>& diskCreators() {
    static const std::map<std::string, DiskCreator> creators = {
        {"Disk41", &makeDisk<1>},   {"Disk71", &makeDisk<2>},     {"Disk80", &makeDisk<16>},
        {"Disk81", &makeDisk<3>},   {"Disk82", &makeDisk<17>},    {"Disk8B", &makeDisk<52>},
        {"DiskFI", &makeDisk<23>},  {"DiskNP", &makeDisk<22>},    {"DiskD1M", &makeDisk<49>},
        {"DiskD2M", &makeDisk<21>}, {"DiskD4M", &makeDisk<48>},   {"DiskDHM", &makeDisk<30>},
        {"DiskG64", &makeDisk<4>},  {"DiskNIB", &makeDisk<44>},   {"DiskNBZ", &makeDisk<51>},
        {"DiskT64", &makeDisk<18>}, {"DiskIDE64", &makeDisk<39>},
    };
    return creators;
}

}  // namespace platter
