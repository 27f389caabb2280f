#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/signature_sets.hpp"

namespace platter::fileid {

namespace {

// Signature offsets are written for programs loaded at BASIC's start.
constexpr std::int64_t kBasicStart = 0x0801;

// Every piece at its offset plus `shift`; a moved offset below 1 never matches.
bool matchShifted(std::span<const std::uint8_t> data, std::span<const signature_piece_t> pieces, std::int64_t shift) {
    for (const auto& one : pieces) {
        const std::int64_t offset = std::int64_t{one.offset} + shift;
        if (offset < 1 && shift < 0) return false;
        if (offset < 0 || !matchAt(data, static_cast<std::uint64_t>(offset), one.view())) return false;
    }
    return true;
}

}  // namespace

bool matchPieces(std::span<const std::uint8_t> data, std::span<const signature_piece_t> pieces) {
    return matchShifted(data, pieces, 0);
}

file_traits_t matchSignatureSet(std::span<const std::uint8_t> data, const signature_set_t& set) {
    if (set.pieceCount == 0) return g_unknown_traits;
    if (matchPieces(data, set.view())) return recognised(set.type);
    const std::int64_t load = readLe16(data, 0);
    if (data.size() < 2 || load == kBasicStart) return g_unknown_traits;
    if (matchShifted(data, set.view(), kBasicStart - load)) return recognised(set.type);
    return g_unknown_traits;
}

file_traits_t matchSignatureSetAtEnd(std::span<const std::uint8_t> data, const signature_set_t& set) {
    if (set.pieceCount == 0) return g_unknown_traits;
    for (const auto& one : set.view()) {
        if (!matchAtEnd(data, one.offset, one.view())) return g_unknown_traits;
    }
    return recognised(set.type);
}

}  // namespace platter::fileid
