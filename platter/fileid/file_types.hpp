#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platter/fileid/file_type_record.hpp"

namespace platter::fileid {

// The record of the id, or the table's first record (id 0) when the table lacks it.
const file_type_record_t& findType(std::uint32_t id);

// The type's name; "" for an id the table lacks.
std::string typeName(std::uint32_t id);

// True when `ancestor` is on the type's parent chain (a type is not its own descendant).
bool isDescendantOf(std::uint32_t id, std::uint32_t ancestor);
bool isDescendantOf(const file_traits_t& traits, std::uint32_t ancestor);

// The top of the type's parent chain; 0 for an id the table lacks.
std::uint32_t rootType(std::uint32_t id);

// True when the category exists and lists the type or its root type.
bool isTypeInCategory(std::uint32_t id, std::int32_t category);

// The detector of the type's record or of its nearest ancestor with one; null when none.
detector_t detectorForType(std::uint32_t id);

// The type followed by all its descendants, depth first in table order, each once.
std::vector<std::uint32_t> typeAndDescendants(std::uint32_t id);

}  // namespace platter::fileid
