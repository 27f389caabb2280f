#include "platter/fileid/describe.hpp"

#include "platter/fileid/file_types.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/nested_data.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

std::string describe(std::span<const std::uint8_t> data) {
    std::string line;
    bool first = true;
    for (const auto& traits : identify(data)) {
        if (!first) line += "; ";
        first = false;
        line += findType(traits.type).name;
        if (!traits.metadata.empty()) {
            line += " {";
            for (std::size_t i = 0; i < traits.metadata.size(); ++i) {
                if (i > 0) line += "; ";
                line += metadataToString(traits.metadata[i]);
            }
            line += "}";
        }
        if (traits.type == type_id::bhp_virus) {
            // The nested data is strictly shorter, so the recursion ends.
            for (const auto& nested : metadataForType(data, traits.type)) line += " [" + describe(nested) + "]";
        }
    }
    return line;
}

}  // namespace platter::fileid
