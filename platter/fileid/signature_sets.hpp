#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "platter/fileid/file_traits.hpp"

namespace platter::fileid {

// A run of code bytes expected at an offset of a packed program.
struct signature_piece_t {
    std::uint16_t offset = 0;
    std::uint8_t length = 0;
    std::array<std::uint8_t, 16> bytes{};

    std::span<const std::uint8_t> view() const { return {bytes.data(), length}; }
};

// The pieces that mark the code of one packer or cruncher.
struct signature_set_t {
    std::uint32_t type = 0;
    std::uint8_t pieceCount = 0;
    std::array<signature_piece_t, 3> pieces{};

    std::span<const signature_piece_t> view() const { return {pieces.data(), pieceCount}; }
};

// A piece from its bytes written as hex pairs separated by blanks ("2C EA EA").
consteval signature_piece_t piece(std::uint16_t offset, std::string_view hex) {
    const auto nibble = [](char c) -> std::uint8_t {
        if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
        if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
        throw "signature bytes must be upper-case hex";
    };
    signature_piece_t result{offset, 0, {}};
    for (std::size_t i = 0; i < hex.size(); i += 3) {
        if (result.length == result.bytes.size()) throw "signature piece too long";
        result.bytes[result.length++] = static_cast<std::uint8_t>(nibble(hex[i]) << 4 | nibble(hex[i + 1]));
    }
    return result;
}

consteval signature_set_t signature(std::uint32_t type, std::initializer_list<signature_piece_t> pieces) {
    signature_set_t result{type, 0, {}};
    for (const auto& one : pieces) {
        if (result.pieceCount == result.pieces.size()) throw "too many signature pieces";
        result.pieces[result.pieceCount++] = one;
    }
    return result;
}

// The three families of sets, each in the order its detector tries them.
extern const std::span<const signature_set_t> g_packer_signatures;
extern const std::span<const signature_set_t> g_compressor_signatures;
extern const std::span<const signature_set_t> g_cruncher_ab_signatures;

// The set of a type that belongs to no family (Stubby Noter, the compressor
// algorithm, Time Cruncher v5, Turbocopy, the BHP virus); an empty set for others.
const signature_set_t& singleSignature(std::uint32_t type);

// The set's type when every piece stands at its offset. A program loaded elsewhere
// than $0801 holds the same code moved by its load address, so it is tried again
// with the offsets moved by 0x0801 minus the load address.
file_traits_t matchSignatureSet(std::span<const std::uint8_t> data, const signature_set_t& set);

// The set's type when every piece stands its offset before the end of the data.
file_traits_t matchSignatureSetAtEnd(std::span<const std::uint8_t> data, const signature_set_t& set);

// True when every piece stands at its own offset (no move, no end anchor).
bool matchPieces(std::span<const std::uint8_t> data, std::span<const signature_piece_t> pieces);

}  // namespace platter::fileid
