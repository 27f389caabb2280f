#pragma once

#include "platter/formats/disk_g64.hpp"

namespace platter {

// An NBZ image: a NIB file packed with back references. Opens like a G64; a
// file that does not unpack (a reference before the start, an output past any
// NIB) does not open.
class DiskNBZ : public DiskG64 {
protected:
    bool loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t& unpacked) const override;
};

}  // namespace platter
