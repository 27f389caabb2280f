#include "platter/formats/gcr_bit_reader.hpp"

#include "platter/core/gcr_code.hpp"

namespace platter {

GcrBitReader::GcrBitReader(std::span<const std::uint8_t> track, std::size_t startByte)
    : track_(track), byte_(track.empty() ? 0 : startByte % track.size()) {}

unsigned GcrBitReader::readBit() {
    if (track_.empty()) return 0;
    const unsigned bit = (unsigned{track_[byte_]} >> (7u - bit_)) & 1u;
    if (++bit_ == 8) {
        bit_ = 0;
        if (++byte_ == track_.size()) {
            byte_ = 0;
            wrapped_ = true;
        }
    }
    return bit;
}

std::uint8_t GcrBitReader::readRawByte() {
    unsigned value = 0;
    for (int i = 0; i < 8; ++i) value = (value << 1) | readBit();
    return static_cast<std::uint8_t>(value);
}

std::uint8_t GcrBitReader::peekRawByte() {
    const position_t here = position();
    const std::uint8_t value = readRawByte();
    seek(here);
    return value;
}

unsigned GcrBitReader::readQuintet() {
    unsigned value = 0;
    for (int i = 0; i < 5; ++i) value = (value << 1) | readBit();
    return value;
}

std::uint8_t GcrBitReader::readGcrByte() {
    const std::uint8_t high = g_gcr_decode_table[readQuintet()];
    const std::uint8_t low = g_gcr_decode_table[readQuintet()];
    if (high == 255 || low == 255) return 0xFF;
    return static_cast<std::uint8_t>((high << 4) | low);
}

unsigned GcrBitReader::findSync() {
    unsigned budget = kSyncBitBudget;
    unsigned run = 0;
    while (budget > 0) {
        --budget;
        if (readBit() == 0) continue;
        run = 1;
        bool ended = false;
        while (budget > 0) {
            --budget;
            if (readBit() == 0) {
                ended = true;
                break;
            }
            ++run;
        }
        if (!ended) break;
        if (run >= kSyncMinimumOnes) {
            stepBack();
            return run;
        }
    }
    return run < kSyncMinimumOnes ? run : kSyncMinimumOnes - 1;
}

// A byte offset past the end goes round the ring.
void GcrBitReader::seek(position_t position) {
    byte_ = track_.empty() ? 0 : position.byte % track_.size();
    bit_ = position.bit & 7u;
    wrapped_ = position.wrapped || position.byte >= track_.size();
}

void GcrBitReader::stepBack() {
    if (bit_ > 0) {
        --bit_;
        return;
    }
    bit_ = 7;
    byte_ = byte_ == 0 ? track_.size() - 1 : byte_ - 1;
}

}  // namespace platter
