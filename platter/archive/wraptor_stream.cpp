#include "platter/archive/wraptor_stream.hpp"

namespace platter {

namespace {

constexpr std::size_t kRingSize = 4096;
constexpr std::uint32_t kStartWidth = 8;
constexpr std::uint32_t kMaxWidth = 12;

// The ring slot holds the last output byte whose index falls on it; slots
// not written yet hold 0.
std::uint8_t ringByte(const std::vector<std::uint8_t>& out, std::size_t slot) {
    const std::size_t size = out.size();
    std::size_t index = (size & ~(kRingSize - 1)) + slot;
    if (index >= size) {
        if (index < kRingSize) return 0;
        index -= kRingSize;
    }
    return out[index];
}

}  // namespace

bool decodeWraptorStream(MsbBitReader& bits, std::vector<std::uint8_t>& out) {
    out.clear();
    std::uint32_t width = kStartWidth;
    for (;;) {
        std::uint32_t flag = 0;
        if (!bits.bit(flag)) return false;
        if (flag == 0) {
            std::uint32_t literal = 0;
            if (!bits.bits(8, literal)) return false;
            out.push_back(static_cast<std::uint8_t>(literal));
            continue;
        }
        std::uint32_t position = 0;
        if (!bits.bits(width, position)) return false;
        if (position == 0) {
            std::uint32_t widen = 0;
            if (!bits.bit(widen)) return false;
            if (widen == 0) return true;
            if (++width > kMaxWidth) return false;
            continue;
        }
        std::uint32_t length = 0;
        if (!bits.bits(5, length)) return false;
        for (std::uint32_t k = 0; k < length; ++k) {
            const std::uint8_t byte = ringByte(out, (position - 1 + k) % kRingSize);
            out.push_back(byte);
        }
    }
}

}  // namespace platter
