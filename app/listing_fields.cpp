#include "app/listing_fields.hpp"

namespace app {

const std::array<field_name_t, 17> g_field_names = {{
    {kFieldBlocks, "blocks"},
    {kFieldBytes, "bytes"},
    {kFieldIndex, "index"},
    {kFieldTs, "ts"},
    {kFieldAddr, "addr"},
    {kFieldName, "name"},
    {kFieldStl, "stl"},
    {kFieldSplat, "splat"},
    {kFieldType, "type"},
    {kFieldLock, "lock"},
    {kFieldFile, "file"},
    {kFieldXxh32, "xxh32"},
    {kFieldXxh3, "xxh3"},
    {kFieldTrackWidth, "....."},
    {kFieldSectorWidth, "....."},
    {kFieldChain, "chain"},
    {kFieldFfid, "ffid"},
}};

std::optional<std::int32_t> fieldIdByName(std::string_view name) {
    // A hidden choice may come with its "^" marker.
    if (name.starts_with('^')) name.remove_prefix(1);
    for (const field_name_t& field : g_field_names) {
        if (field.name == name) return field.id;
    }
    return std::nullopt;
}

}  // namespace app
