#include "platter/open/identified_format.hpp"

#include "forge/paths.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter {

namespace {

format_id extensionKind(std::string_view path) {
    const container_format_t* row = formatByExtension(forge::fileExtension(path));
    return row ? row->id : format_id::none;
}

}  // namespace

std::uint32_t firstIdentifiedType(std::span<const std::uint8_t> bytes) {
    const std::uint32_t type = fileid::identify(bytes).front().type;
    return type == fileid::type_id::unknown ? 0 : type;
}

format_id identifiedFormat(std::span<const std::uint8_t> bytes, std::string_view path) {
    return formatOfIdentified(firstIdentifiedType(bytes), bytes, extensionKind(path));
}

format_id formatOfIdentified(std::uint32_t type, const FileBlockReader& read, format_id named) {
    return type == 0 ? format_id::none : kindNamedByHeader(formatIdForType(type), read, named);
}

format_id formatOfIdentified(std::uint32_t type, std::span<const std::uint8_t> bytes, format_id named) {
    return type == 0 ? format_id::none : kindNamedByHeader(formatIdForType(type), bytes, named);
}

}  // namespace platter
