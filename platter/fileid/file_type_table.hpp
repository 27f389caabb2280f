#pragma once

#include <cstdint>
#include <span>

#include "platter/fileid/file_type_record.hpp"

namespace platter::fileid {

// Every file type, in walk order; the first row (id 0, name "") stands in for
// any id the table lacks. Constant-initialised, so safe to read at any time.
extern const std::span<const file_type_record_t> g_file_types;

// A named group of type ids: 0 opens as a disk, 1 archives/tapes/wrappers/zipcode
// sets, 2 texts, 3 pictures.
struct type_category_t {
    std::int32_t number = 0;
    std::span<const std::uint32_t> members;
};

extern const std::span<const type_category_t> g_type_categories;

}  // namespace platter::fileid
