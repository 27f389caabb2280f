#include "platter/core/open_container_identify.hpp"

#include "platter/core/format_registry.hpp"
#include "platter/fileid/file_types.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {

std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes) {
    const std::uint32_t type = fileid::identify(bytes).front().type;
    return type == fileid::type_id::unknown ? 0 : type;
}

std::uint32_t identifiedRegistryId(std::span<const std::uint8_t> bytes) {
    const std::uint32_t type = firstIdentifiedType(bytes);
    if (type == 0) return kFormatUnknown;
    const std::uint32_t formatId = formatIdForType(type);
    return formatId == 0 ? kFormatUnknown : formatId;
}

bool descendsFromLynx(std::uint32_t typeId) { return fileid::isDescendantOf(typeId, fileid::type_id::lynx); }

}  // namespace platter
