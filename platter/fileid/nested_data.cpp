#include "platter/fileid/nested_data.hpp"

#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

constexpr std::uint16_t kBasicStart = 0x0801;
constexpr std::size_t kBhpHostOffset = 2032;

}  // namespace

std::vector<std::span<const std::uint8_t>> metadataForType(std::span<const std::uint8_t> data, std::uint32_t type) {
    if (type == type_id::unknown) type = identify(data).front().type;
    if (type != type_id::bhp_virus || readLe16(data, 0) != kBasicStart) return {};
    // A virus without a host program behind it carries nothing.
    if (data.size() <= kBhpHostOffset) return {};
    return {data.subspan(kBhpHostOffset)};
}

}  // namespace platter::fileid
