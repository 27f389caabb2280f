#include "platter/petscii/p00_header.hpp"

#include <algorithm>
#include <string_view>

#include "platter/petscii/byte_readers.hpp"
#include "platter/petscii/cbm_name.hpp"

namespace platter {

void buildP00Header(std::span<std::uint8_t, kP00HeaderSize> header, std::span<const std::uint8_t> entry) {
    constexpr std::string_view kSignature{"C64File\0", 8};
    std::copy(kSignature.begin(), kSignature.end(), header.begin());
    for (std::size_t i = 0; i < kNameSize; ++i) header[8 + i] = byteAt(entry, kEntryNameOffset + i);
    for (std::size_t offset = 8 + kNameSize; offset-- > 8 && header[offset] == kNamePad;) header[offset] = 0;
    header[24] = 0;
    const bool isRel = (byteAt(entry, 2) & 7) == 4;
    header[25] = isRel ? byteAt(entry, 23) : 0;
}

}  // namespace platter
