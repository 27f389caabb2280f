#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platter/archive/bit_reader.hpp"

namespace platter {

// The LZW decoder of crunched ARC entries: codes of 9 to 12 bits, a
// dictionary that starts with the 256 single bytes (codes 256 and 257 are
// reserved) and is never reset.
class LzwCrunch {
public:
    enum class step : std::uint8_t {
        byte,   // a byte was produced
        end,    // the end code (256) where it is allowed
        error,  // the input ended, or a code that no valid stream holds
    };

    LzwCrunch();
    // The next byte of the decoded stream; code 256 ends it when
    // `endCodeAllowed`, and is an error otherwise.
    step next(LsbBitReader& bits, std::uint8_t& out, bool endCodeAllowed);

private:
    static constexpr std::uint32_t kSlots = 4096;
    static constexpr std::uint32_t kEndCode = 256;
    static constexpr std::uint32_t kFirstFree = 258;
    static constexpr std::uint32_t kMaxWidth = 12;
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    // Fills the string buffer with the bytes of the code's string.
    void expand(std::uint32_t code);
    // Counts a new string and stores it while the dictionary has room.
    void add(std::uint32_t prefix, std::uint8_t last);

    std::vector<std::uint16_t> prefix_;
    std::vector<std::uint8_t> last_;
    std::vector<std::uint8_t> first_;
    std::vector<std::uint16_t> length_;
    std::uint32_t counter_ = kFirstFree - 1;  // the code of the string added last
    std::uint32_t width_ = 9;
    std::uint32_t previous_ = kNone;  // the code of the string returned last
    std::vector<std::uint8_t> string_;
    std::size_t stringAt_ = 0;
    std::size_t stringEnd_ = 0;
};

}  // namespace platter
