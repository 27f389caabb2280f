#pragma once
// The one rule for the names of zipcode parts, host files and directory entries alike.

#include <optional>
#include <string_view>

namespace platter {

// What a part's name says: "1!NAME" to "5!NAME" is part 1-5 of a four/five-part set,
// "1!!NAME" to "6!!NAME" part 1-6 of a six-part GCR set; NAME is not empty.
struct zipcode_part_name_t {
    unsigned number = 0;
    bool sixParts = false;
    std::string_view setName;
};

// The part that a file name (or an entry's name up to its padding) names; nothing for a
// name that is no part's.
std::optional<zipcode_part_name_t> zipcodePartName(std::string_view name);
// A part of a four/five-part set: the sets that open as the D64 they hold.
bool isZip4PartName(std::string_view name);

}  // namespace platter
