#include "platter/open/identified_format.hpp"

#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {

std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes) {
    const std::uint32_t type = fileid::identify(bytes).front().type;
    return type == fileid::type_id::unknown ? 0 : type;
}

format_id identifiedFormat(std::span<const std::uint8_t> bytes) {
    return formatOfIdentified(firstIdentifiedType(bytes), bytes);
}

format_id formatOfIdentified(std::uint32_t type, const FileBlockReader& read) {
    return type == 0 ? format_id::none : kindNamedByHeader(formatIdForType(type), read);
}

format_id formatOfIdentified(std::uint32_t type, std::span<const std::uint8_t> bytes) {
    return type == 0 ? format_id::none : kindNamedByHeader(formatIdForType(type), bytes);
}

}  // namespace platter
