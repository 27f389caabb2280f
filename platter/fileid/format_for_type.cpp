#include "platter/fileid/format_for_type.hpp"

#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {

namespace {

constexpr std::uint32_t kZipcodeFormat = 6;
constexpr std::uint32_t kNoContainerFormat = 37;

}  // namespace

std::uint32_t formatIdForType(std::uint32_t type) {
    using namespace fileid;
    // Four- and five-part zipcode sets open through the registry's zipcode row.
    if (type == type_id::zip4 || isDescendantOf(type, type_id::zip4)) return kZipcodeFormat;
    // D'Arc shares ARC's registry id in the table, but no importer reads it.
    if (type == type_id::darc_v01 || type == type_id::darc_v02) return 0;
    const std::uint32_t format = findType(type).formatId;
    return format == kNoContainerFormat ? 0 : format;
}

}  // namespace platter
