#pragma once
// What an image's error byte says of its block. A table stores the drive's code, 1 for a good
// block (the DOS error number is the code + 18); a table read as DOS error numbers may keep
// them as they are.

#include <cstdint>

namespace platter {

// The code a table byte stands for: a DOS error number (20 and up) as its code.
constexpr std::uint8_t errorByteCode(std::uint8_t byte) {
    constexpr std::uint8_t kFirstReadError = 20;
    constexpr std::uint8_t kCodeOffset = 18;
    return byte >= kFirstReadError ? static_cast<std::uint8_t>(byte - kCodeOffset) : byte;
}

// Whether the byte records a read the drive could not make (errors 20-24, 27 and 29): the
// block holds no data.
constexpr bool errorByteMarksUnread(std::uint8_t byte) {
    switch (errorByteCode(byte)) {
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 9:
        case 11: return true;
        default: return false;
    }
}

}  // namespace platter
