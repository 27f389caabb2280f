#include "platter/core/listing_output.hpp"

#include "forge/save_file.hpp"
#include "platter/core/disk.hpp"

namespace platter {

std::uint32_t emitListing(const listing_output_t& out, std::span<const std::uint8_t> document) {
    if (!out.stream) {
        const std::optional<forge::save_failure_t> failure = forge::saveFile(out.path, document);
        if (!failure) return kErrNone;
        return failure->created ? kErrStreamWrite : kErrOpenFile;
    }
    out.stream->write(reinterpret_cast<const char*>(document.data()), static_cast<std::streamsize>(document.size()));
    out.stream->flush();
    return out.stream->good() ? kErrNone : kErrStreamWrite;
}

}  // namespace platter
