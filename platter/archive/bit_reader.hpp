#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace platter {

// Reads single bits from a byte range and fails, instead of reading on, at
// its end. `kLowBitFirst` takes each byte's bits from bit 0 upward (ARC),
// otherwise from bit 7 downward (LHA, Wraptor).
template <bool kLowBitFirst>
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    bool bit(std::uint32_t& out) {
        if (mask_ == 0) {
            if (next_ == bytes_.size()) return false;
            current_ = bytes_[next_++];
            mask_ = kLowBitFirst ? 0x01 : 0x80;
        }
        out = (current_ & mask_) != 0 ? 1 : 0;
        mask_ = kLowBitFirst ? static_cast<std::uint8_t>(mask_ << 1) : static_cast<std::uint8_t>(mask_ >> 1);
        return true;
    }

    // `count` bits (at most 32), the first read the most significant.
    bool bits(unsigned count, std::uint32_t& out) { return field(count, true, out); }
    // `count` bits (at most 32), the first read the least significant.
    bool bitsLowFirst(unsigned count, std::uint32_t& out) { return field(count, false, out); }

    // Drops the rest of the byte begun.
    void alignToByte() { mask_ = 0; }
    // Bytes begun so far.
    std::size_t bytesUsed() const { return next_; }

private:
    bool field(unsigned count, bool firstHigh, std::uint32_t& out) {
        std::uint32_t value = 0;
        for (unsigned i = 0; i < count; ++i) {
            std::uint32_t b = 0;
            if (!bit(b)) return false;
            value = firstHigh ? (value << 1) | b : value | (b << i);
        }
        out = value;
        return true;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t next_ = 0;
    std::uint8_t current_ = 0;
    std::uint8_t mask_ = 0;
};

using LsbBitReader = BitReader<true>;
using MsbBitReader = BitReader<false>;

}  // namespace platter
