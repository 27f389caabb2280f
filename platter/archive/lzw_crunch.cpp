#include "platter/archive/lzw_crunch.hpp"

namespace platter {

LzwCrunch::LzwCrunch() : prefix_(kSlots), last_(kSlots), first_(kSlots), length_(kSlots), string_(kSlots) {
    for (std::uint32_t code = 0; code < 256; ++code) {
        last_[code] = static_cast<std::uint8_t>(code);
        first_[code] = static_cast<std::uint8_t>(code);
        length_[code] = 1;
    }
}

LzwCrunch::step LzwCrunch::next(LsbBitReader& bits, std::uint8_t& out, bool endCodeAllowed) {
    if (stringAt_ < stringEnd_) {
        out = string_[stringAt_++];
        return step::byte;
    }
    std::uint32_t code = 0;
    if (!bits.bits(width_, code)) return step::error;
    if (code == kEndCode) return endCodeAllowed ? step::end : step::error;
    // A reserved code, or one past the next free code (or any code but a
    // single byte at the start), names no string.
    const bool known = code < 256 || (code >= kFirstFree && code <= counter_);
    const bool repeat = previous_ != kNone && code == counter_ + 1;
    if (!known && !repeat) return step::error;

    if (previous_ != kNone) {
        // The new string is the previous one followed by the first byte of
        // this code's string, which for the repeat case is the previous one.
        add(previous_, first_[repeat ? previous_ : code]);
    }
    expand(code);
    previous_ = code;
    out = string_[stringAt_++];
    return step::byte;
}

void LzwCrunch::add(std::uint32_t prefix, std::uint8_t last) {
    ++counter_;
    if (width_ < kMaxWidth && counter_ == (1u << width_) - 2) ++width_;
    if (counter_ >= kSlots) return;  // counted, but no code can name it
    prefix_[counter_] = static_cast<std::uint16_t>(prefix);
    last_[counter_] = last;
    first_[counter_] = first_[prefix];
    length_[counter_] = static_cast<std::uint16_t>(length_[prefix] + 1);
}

void LzwCrunch::expand(std::uint32_t code) {
    std::size_t at = length_[code];
    stringAt_ = 0;
    stringEnd_ = at;
    while (at > 0) {
        string_[--at] = last_[code];
        code = prefix_[code];
    }
}

}  // namespace platter
