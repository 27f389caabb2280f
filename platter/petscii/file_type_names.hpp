#pragma once

#include <cstdint>
#include <string>

namespace platter {

// Type name of (type byte AND 15) as the 1541 and the 1581 DOS show it
// (the invalid types give the DOS's own stray bytes).
std::string fileTypeName1541(std::uint8_t type);
std::string fileTypeName1581(std::uint8_t type);

// The type-name table of a DOS; the 1541 one shows type 13 as "R?" in listings.
enum class type_name_table { dos1541, dos1581 };
std::string fileTypeName(type_name_table table, std::uint8_t type);

// Type 0-4 of a directory type letter (D S P U R, any case); PRG otherwise.
std::uint8_t fileTypeFromLetter(char letter);

// Type bytes of an Arkive directory: 0x70-0x74 and 0x80-0x84.
bool isArkFileType(std::uint8_t type);

}  // namespace platter
