#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace platter {

// One key, control or colour name and its PETSCII code.
struct token_name_t {
    std::string_view name;
    std::uint8_t code = 0;
};

// Every name the token escapes accept.
std::span<const token_name_t> tokenNameList();

// Enters the name lists into the token map; runs once, lookupToken calls it.
void buildTokenTable();
// Enters one list; names shorter than 2 characters are skipped, keys are the
// names without white space. A key met again with another code aborts.
void enterTokenNames(std::span<const token_name_t> list);
// Code of a key (white space already removed), exact case.
std::optional<std::uint8_t> lookupToken(std::string_view key);

// The name shown for each code 0-255 (empty for 0xDE).
std::string_view tokenName(std::uint8_t code);

}  // namespace platter
