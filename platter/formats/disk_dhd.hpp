#pragma once

#include "platter/formats/disk_cmd.hpp"

namespace platter {

class BufferedDataProvider;

// A CMD HD hard-disk image (DHD): the partition table of the CMD images over a file of any
// size, read block by block as it is asked for and saved as the file with the changed blocks.
class DiskDHM : public DiskD2M {
public:
    DiskDHM();

    bool open(const path& file, bool existing, bool format = false, std::uint32_t formatArg = 0) override;
    // As a DHD: the source file copied with every changed block in place; listing documents and
    // other kinds as any image writes them.
    std::optional<forge::save_failure_t> saveAs(const path& target, const listing_request_t& request = {}) override;

private:
    BufferedDataProvider* file_ = nullptr;
};

}  // namespace platter
