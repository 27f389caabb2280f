#include "platter/open/zip6_set_image.hpp"

#include <array>

#include "platter/archive/zip6.hpp"

namespace platter {

zip6_set_image_t unpackZip6Set(const zipcode_set_t& set) {
    zip6_set_image_t image;
    std::array<std::vector<std::uint8_t>, kZip6Parts> files;
    for (std::size_t k = 0; k < kZip6Parts && k < set.parts.size(); ++k) {
        if (set.parts[k].state == zipcode_part_state::read) files[k] = set.parts[k].bytes;
    }
    const zip6_unpacked_t unpacked = zip6ToG64(files, image.g64);
    image.misfit = unpacked.misfit;
    for (std::size_t k = 0; k < kZip6Parts && k < set.parts.size(); ++k) {
        const zipcode_part_t& part = set.parts[k];
        const zip6_part_tracks_t& tracks = unpacked.parts[k];
        if (part.state != zipcode_part_state::read) {
            image.notes.push_back(missingPartNote(part));
        } else if (tracks.cutShort()) {
            const std::uint64_t empty = tracks.announced - tracks.written;
            image.notes.push_back("zipcode part '" + part.name + "' is cut short; " + std::to_string(empty) +
                                  " of its tracks " + (empty == 1 ? "is" : "are") + " empty");
        }
    }
    return image;
}

}  // namespace platter
