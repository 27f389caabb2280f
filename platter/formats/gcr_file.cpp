#include "platter/formats/gcr_file.hpp"

#include "platter/core/data_provider.hpp"

namespace platter {

gcr_file_t gcrFileOf(std::span<const std::uint8_t> bytes) {
    return {bytes.size(), [bytes](std::uint64_t offset, std::uint64_t length) {
                return bytes.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
            }};
}

gcr_file_t gcrFileOf(DataProvider& provider) {
    return {provider.size(), [&provider](std::uint64_t offset, std::uint64_t length) {
                const std::uint8_t* start = provider.rangeAt(offset, length);
                return start ? std::span<const std::uint8_t>(start, static_cast<std::size_t>(length))
                             : std::span<const std::uint8_t>();
            }};
}

}  // namespace platter
