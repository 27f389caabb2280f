#include "platter/formats/disk_nbz.hpp"

#include "platter/formats/gcr_decoder.hpp"
#include "platter/formats/unpack_nbz.hpp"

namespace platter {

bool DiskNBZ::loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t& unpacked) const {
    std::optional<bytes_t> nib = unpackNbz(file.bytes(0, file.size));
    if (!nib) return false;
    unpacked = std::move(*nib);
    decoder.loadNib(unpacked);
    return true;
}

}  // namespace platter
