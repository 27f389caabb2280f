#include "platter/fileid/format_for_type.hpp"

#include "platter/fileid/file_types.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {

format_id formatIdForType(std::uint32_t type) {
    using namespace fileid;
    // Four- and five-part zipcode sets open through the registry's zipcode row.
    if (type == type_id::zip4 || isDescendantOf(type, type_id::zip4)) return format_id::zipcode;
    // D'Arc shares ARC's registry id in the table, but no importer reads it.
    if (type == type_id::darc_v01 || type == type_id::darc_v02) return format_id::none;
    const auto format = static_cast<format_id>(findType(type).formatId);
    return format == format_id::unknown ? format_id::none : format;
}

}  // namespace platter
