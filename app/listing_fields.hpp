#pragma once
// The listing field table: the columns a listing can show, by id and name.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace app {

enum field_id : std::int32_t {
    kFieldBlocks = 0,
    kFieldBytes = 1,
    kFieldIndex = 2,
    kFieldTs = 3,
    kFieldAddr = 4,
    kFieldName = 5,
    kFieldStl = 6,
    kFieldSplat = 7,
    kFieldType = 8,
    kFieldLock = 9,
    kFieldFile = 10,
    kFieldXxh32 = 11,
    kFieldXxh3 = 12,
    kFieldTrackWidth = 13,   // no column: width of the track part of "ts"
    kFieldSectorWidth = 14,  // no column: width of the sector part of "ts"
    kFieldChain = 15,
    kFieldFfid = 16,
};

struct field_name_t {
    std::int32_t id;
    std::string_view name;
};

extern const std::array<field_name_t, 17> g_field_names;

// The id of a field name as the options give it; none for an unknown name.
std::optional<std::int32_t> fieldIdByName(std::string_view name);

}  // namespace app
