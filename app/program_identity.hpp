#pragma once
// Who and what the program is, as printed by --version.

#include <string>
#include <string_view>

namespace app {

struct program_identity_t {
    std::string_view name;     // "zt"
    std::string_view version;  // "1.7.0"
    std::string_view copyright_years;
    std::string_view author_credit;    // "<name>/Korrin: coding"
    std::string_view library_authors;  // who wrote the disk library
    std::string_view revision;         // version-control revision number
    std::string_view last_change;      // "YYYY-MM-DD HH:MM:SS" of the last change
    std::string_view platform;
};

extern const program_identity_t g_program_identity;

// "zt v1.7.0/Korrin": the generator named in the documents and pictures the program writes.
std::string generatorName();

}  // namespace app
