#pragma once
// A six-part GCR zipcode set as the G64 image its parts hold, with the parts that are
// missing or cut short named.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platter/open/zipcode_set_files.hpp"

namespace platter {

struct zip6_set_image_t {
    std::vector<std::uint8_t> g64;
    std::size_t misfit = 0;          // the first part (1-6) that is no part of the set; no image then
    std::vector<std::string> notes;  // parts missing, unreadable or cut short, whose tracks are empty
};

// The G64 of the read parts of a six-part set: the tracks of a missing or unreadable part,
// and those a part ends before, are left out, and each such part is named in a note.
zip6_set_image_t unpackZip6Set(const zipcode_set_t& set);

}  // namespace platter
