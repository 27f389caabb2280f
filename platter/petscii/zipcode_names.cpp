#include "platter/petscii/zipcode_names.hpp"

namespace platter {

std::optional<zipcode_part_name_t> zipcodePartName(std::string_view name) {
    if (name.size() < 3 || name[0] < '1' || name[0] > '6' || name[1] != '!') return std::nullopt;
    const unsigned number = static_cast<unsigned>(name[0] - '0');
    // "N!!" is the six-part prefix; "1!!" alone names no set.
    if (name[2] == '!') {
        if (name.size() == 3) return std::nullopt;
        return zipcode_part_name_t{number, true, name.substr(3)};
    }
    if (number > 5) return std::nullopt;
    return zipcode_part_name_t{number, false, name.substr(2)};
}

bool isZip4PartName(std::string_view name) {
    const std::optional<zipcode_part_name_t> part = zipcodePartName(name);
    return part && !part->sixParts;
}

}  // namespace platter
