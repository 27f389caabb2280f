#include "platter/petscii/token_table.hpp"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace platter {

namespace {

struct TokenMap {
    std::map<std::string, std::uint8_t, std::less<>> codes;
    bool built = false;
};

TokenMap& tokenMap() {
    static TokenMap map;
    return map;
}

std::string withoutSpace(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (!std::isspace(static_cast<unsigned char>(c))) key += c;
    }
    return key;
}

}  // namespace

void enterTokenNames(std::span<const token_name_t> list) {
    auto& codes = tokenMap().codes;
    for (const auto& record : list) {
        if (record.name.size() < 2) continue;
        auto [it, inserted] = codes.emplace(withoutSpace(record.name), record.code);
        if (!inserted && it->second != record.code) {
            // The name lists are constant: a contradiction is a build fault.
            std::fprintf(stderr, "critical: petasc collision; '%s': %02x != %02x\n", it->first.c_str(), it->second,
                         record.code);
            std::abort();
        }
    }
}

void buildTokenTable() {
    auto& map = tokenMap();
    if (map.built) return;
    enterTokenNames(tokenNameList());
    map.built = true;
}

std::optional<std::uint8_t> lookupToken(std::string_view key) {
    buildTokenTable();
    const auto& codes = tokenMap().codes;
    if (auto it = codes.find(key); it != codes.end()) return it->second;
    return std::nullopt;
}

}  // namespace platter
