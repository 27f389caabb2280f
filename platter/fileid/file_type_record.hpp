#pragma once

#include <cstdint>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// One row of the file-type table; the table's order is the walk order.
struct file_type_record_t {
    std::uint32_t id = 0;
    const char* name = "";
    std::uint32_t parent = 0;         // 0: a root type
    std::uint8_t container = 0;       // 1: holds files that can be listed
    std::uint32_t convertedType = 0;  // type of the unpacked content, 0 for none
    std::uint8_t final = 0;           // a match ends the walk
    std::uint32_t formatId = 37;      // container-format registry id; 37: no container
    std::uint64_t minSize = 0;        // both 0: any size
    std::uint64_t maxSize = 0;
    detector_t detector = nullptr;
};

}  // namespace platter::fileid
