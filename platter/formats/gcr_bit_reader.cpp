#include "platter/formats/gcr_bit_reader.hpp"

#include "platter/core/gcr_code.hpp"

namespace platter {

GcrBitReader::GcrBitReader(std::span<const std::uint8_t> track, std::size_t startByte)
    : track_(track), byte_(track.empty() ? 0 : startByte % track.size()) {}

unsigned GcrBitReader::readBit() {
    if (track_.empty()) return 0;
    const unsigned bit = (unsigned{track_[byte_]} >> (7u - bit_)) & 1u;
    if (++bit_ == 8) nextByte();
    return bit;
}

void GcrBitReader::nextByte() {
    bit_ = 0;
    if (++byte_ == track_.size()) {
        byte_ = 0;
        wrapped_ = true;
    }
}

// Decoding a whole disk reads every bit of it: the bits are taken from a
// 24-bit window wherever its three bytes lie inside the track, one by one
// only where the ring wraps.
unsigned GcrBitReader::readBits(unsigned count) {
    if (byte_ + 2 < track_.size()) {
        const unsigned window =
            (unsigned{track_[byte_]} << 16) | (unsigned{track_[byte_ + 1]} << 8) | track_[byte_ + 2];
        const unsigned value = (window >> (24u - bit_ - count)) & ((1u << count) - 1u);
        bit_ += count;
        byte_ += bit_ / 8;
        bit_ %= 8;
        return value;
    }
    unsigned value = 0;
    for (unsigned i = 0; i < count; ++i) value = (value << 1) | readBit();
    return value;
}

std::uint8_t GcrBitReader::readRawByte() { return static_cast<std::uint8_t>(readBits(8)); }

std::uint8_t GcrBitReader::peekRawByte() {
    const position_t here = position();
    const std::uint8_t value = readRawByte();
    seek(here);
    return value;
}

std::uint8_t decodeGcrByte(unsigned code) {
    const std::uint8_t high = g_gcr_decode_table[(code >> 5) & 31u];
    const std::uint8_t low = g_gcr_decode_table[code & 31u];
    if (high == 255 || low == 255) return 0xFF;
    return static_cast<std::uint8_t>((high << 4) | low);
}

std::uint8_t GcrBitReader::readGcrByte() { return decodeGcrByte(readBits(10)); }

// Four bytes (40 bits) at a time from a 64-bit window while its eight bytes lie
// inside the track; the five bytes it moves on never reach the wrap.
void GcrBitReader::readGcrBytes(std::span<std::uint8_t> out) {
    std::size_t done = 0;
    for (; out.size() - done >= 4 && byte_ + 8 <= track_.size(); done += 4, byte_ += 5) {
        std::uint64_t window = 0;
        for (std::size_t i = 0; i < 8; ++i) window = (window << 8) | track_[byte_ + i];
        window <<= bit_;
        for (std::size_t i = 0; i < 4; ++i)
            out[done + i] = decodeGcrByte(static_cast<unsigned>(window >> (54 - 10 * i)) & 0x3FFu);
    }
    for (; done < out.size(); ++done) out[done] = readGcrByte();
}

// A byte offset past the end goes round the ring.
void GcrBitReader::seek(position_t position) {
    byte_ = track_.empty() ? 0 : position.byte % track_.size();
    bit_ = position.bit & 7u;
    wrapped_ = position.wrapped || position.byte >= track_.size();
}

// Nine bytes hold the 64 bits wherever they start in the first one.
std::uint64_t rawBitsAt(std::span<const std::uint8_t> track, std::size_t bit) {
    const std::size_t size = track.size();
    if (size == 0) return 0;
    const std::size_t first = bit / 8 % size;
    std::uint64_t word = 0;
    unsigned low = 0;
    if (first + 9 <= size) {
        for (std::size_t i = 0; i < 8; ++i) word = (word << 8) | track[first + i];
        low = track[first + 8];
    } else {
        for (std::size_t i = 0; i < 8; ++i) word = (word << 8) | track[(first + i) % size];
        low = track[(first + 8) % size];
    }
    const unsigned shift = bit % 8;
    return shift == 0 ? word : (word << shift) | (low >> (8 - shift));
}

}  // namespace platter
