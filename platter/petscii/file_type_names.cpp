#include "platter/petscii/file_type_names.hpp"

#include <array>

namespace platter {

namespace {

using TypeNameTable = std::array<std::array<std::uint8_t, 3>, 16>;

// (type AND 15) -> type name as the 1541 DOS shows it; the invalid types
// hold the stray bytes the DOS prints for them.
// clang-format off
constexpr TypeNameTable kTypeNames1541 = {{
    {'D', 'E', 'L'}, {'S', 'E', 'Q'}, {'P', 'R', 'G'}, {'U', 'S', 'R'},
    {'R', 'E', 'L'}, {0x45, 0x4C, 0x08}, {0x45, 0x51, 0x00}, {0x52, 0x47, 0x00},
    {0x53, 0x52, 0x3F}, {0x45, 0x4C, 0x7F}, {0x4C, 0x08, 0xBF}, {0x51, 0x00, 0xFF},
    {0x47, 0x00, 0x11}, {0x52, 0x3F, 0x12}, {0x4C, 0x7F, 0x13}, {0x08, 0xBF, 0x15},
}};

// (type AND 15) -> type name as the 1581 DOS shows it.
constexpr TypeNameTable kTypeNames1581 = {{
    {'D', 'E', 'L'}, {'S', 'E', 'Q'}, {'P', 'R', 'G'}, {'U', 'S', 'R'},
    {'R', 'E', 'L'}, {'C', 'B', 'M'}, {0x45, 0x4C, 0x00}, {0x45, 0x51, 0x3F},
    {0x52, 0x47, 0x7F}, {0x53, 0x52, 0xBF}, {0x45, 0x4C, 0xFF}, {0x42, 0x4D, 0x01},
    {0x4C, 0x00, 0xFF}, {0x51, 0x3F, 0xFF}, {0x47, 0x7F, 0x01}, {0x52, 0xBF, 0x00},
}};
// clang-format on

std::string typeName(const TypeNameTable& table, std::uint8_t type) {
    std::string name;
    for (std::uint8_t stored : table[type & 15]) {
        const std::uint8_t c = stored & 0x7F;
        if (c == 0 || c == 19) break;
        name += static_cast<char>(c);
    }
    return name;
}

}  // namespace

std::string fileTypeName1541(std::uint8_t type) { return typeName(kTypeNames1541, type); }

std::string fileTypeName1581(std::uint8_t type) { return typeName(kTypeNames1581, type); }

std::string fileTypeName(type_name_table table, std::uint8_t type) {
    return table == type_name_table::dos1581 ? fileTypeName1581(type) : fileTypeName1541(type);
}

std::uint8_t fileTypeFromLetter(char letter) {
    switch (letter) {
        case 'D':
        case 'd': return 0;
        case 'S':
        case 's': return 1;
        case 'U':
        case 'u': return 3;
        case 'R':
        case 'r': return 4;
        default: return 2;
    }
}

bool isArkFileType(std::uint8_t type) {
    const std::uint8_t high = type >> 4;
    return (type & 15) <= 4 && (high == 7 || high == 8);
}

}  // namespace platter
