#pragma once

#include "platter/formats/disk_g64.hpp"

namespace platter {

// A NIB image: fixed 8192-byte dumps of the tracks as a parallel-cable copier
// reads them, each more than one revolution long. Opens like a G64.
class DiskNIB : public DiskG64 {
protected:
    bool loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t& unpacked) const override;
};

}  // namespace platter
