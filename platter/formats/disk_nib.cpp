#include "platter/formats/disk_nib.hpp"

#include "platter/formats/gcr_decoder.hpp"

namespace platter {

// Where each dump belongs is told by its first header's repeat near its end: the whole file
// is read at once before the dumps are looked at.
bool DiskNIB::loadTracks(GcrDecoder& decoder, const gcr_file_t& file, bytes_t&) const {
    file.bytes(0, file.size);
    decoder.loadNib(file);
    return true;
}

}  // namespace platter
