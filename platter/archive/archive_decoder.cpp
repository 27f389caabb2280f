#include "platter/archive/archive_decoder.hpp"

#include <utility>

namespace platter {

ArchiveDecoder::ArchiveDecoder(std::span<const std::uint8_t> input, entry_sink sink)
    : input_(input), sink_(std::move(sink)) {}

bool ArchiveDecoder::store(const archive_entry_t& entry) {
    if (entry.loss) status_.note(import_result_t::partial);
    const import_result_t result = sink_(entry);
    if (result == import_result_t::done) ++stored_;
    return status_.note(result);
}

void ArchiveDecoder::lost(std::string text) {
    notes_.push_back(std::move(text));
    status_.note(import_result_t::partial);
}

}  // namespace platter
