#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

// Reads one raw 1541 track as the drive head does: a ring of bits, most
// significant bit of each byte first, wrapping from the last byte to the first.
class GcrBitReader {
public:
    struct position_t {
        std::size_t byte = 0;
        unsigned bit = 0;
        bool wrapped = false;
    };

    // The track must outlive the reader.
    explicit GcrBitReader(std::span<const std::uint8_t> track, std::size_t startByte = 0);

    unsigned readBit();
    std::uint8_t readRawByte();
    // Eight raw bits from the cursor; the cursor stays where it is.
    std::uint8_t peekRawByte();
    // Ten bits decoded through the GCR table; 0xFF when either half is not a
    // GCR code.
    std::uint8_t readGcrByte();
    // readGcrByte for each byte of `out`.
    void readGcrBytes(std::span<std::uint8_t> out);

    position_t position() const { return {byte_, bit_, wrapped_}; }
    void seek(position_t position);
    // True once the cursor has passed the end of the track and started again.
    bool wrapped() const { return wrapped_; }

private:
    // The next `count` bits (1 to 10), most significant first.
    unsigned readBits(unsigned count);
    void nextByte();

    std::span<const std::uint8_t> track_;
    std::size_t byte_ = 0;
    unsigned bit_ = 0;
    bool wrapped_ = false;
};

// Ten raw bits decoded through the GCR table: the byte, or 0xFF when either half
// is not a GCR code.
std::uint8_t decodeGcrByte(unsigned code);

// The 64 bits of the ring from bit `bit` on (any value: counted on round the
// ring), the first one highest. Zero for an empty track.
std::uint64_t rawBitsAt(std::span<const std::uint8_t> track, std::size_t bit);

}  // namespace platter
