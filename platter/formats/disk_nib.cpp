#include "platter/formats/disk_nib.hpp"

#include "platter/formats/gcr_decoder.hpp"

namespace platter {

bool DiskNIB::loadTracks(GcrDecoder& decoder, std::span<const std::uint8_t> file, bytes_t&) const {
    decoder.loadNib(file);
    return true;
}

}  // namespace platter
