#include "platter/archive/archive_decoder.hpp"

#include <utility>

namespace platter {

ArchiveDecoder::ArchiveDecoder(std::span<const std::uint8_t> input, entry_sink sink)
    : input_(input), sink_(std::move(sink)) {}

bool ArchiveDecoder::store(const archive_entry_t& entry) {
    const import_result_t result = sink_(entry);
    if (result == import_result_t::done) ++stored_;
    return status_.note(result);
}

import_result_t ArchiveDecoder::cutShort() {
    status_.note(stored_ > 0 ? import_result_t::partial : import_result_t::damaged);
    return status_.result();
}

}  // namespace platter
