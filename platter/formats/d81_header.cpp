#include "platter/formats/d81_header.hpp"

#include <algorithm>
#include <array>

namespace platter {

void initD81Header(std::span<std::uint8_t, 256> header, std::span<std::uint8_t, 256> bam1,
                   std::span<std::uint8_t, 256> bam2, std::span<std::uint8_t, 256> firstDirectory) {
    header[0] = 40;
    header[1] = 3;
    header[2] = 'D';
    header[3] = 0;
    std::fill(header.begin() + 4, header.begin() + 29, std::uint8_t{0xA0});
    header[25] = '3';
    header[26] = 'D';

    const std::array<std::uint8_t, 7> bamStart1 = {40, 2, 'D', 0xBB, 0xA0, 0xA0, 0xC0};
    const std::array<std::uint8_t, 7> bamStart2 = {0x00, 0xFF, 'D', 0xBB, 0xA0, 0xA0, 0xC0};
    std::copy(bamStart1.begin(), bamStart1.end(), bam1.begin());
    std::copy(bamStart2.begin(), bamStart2.end(), bam2.begin());

    std::fill(firstDirectory.begin(), firstDirectory.end(), std::uint8_t{0});
    firstDirectory[1] = 0xFF;
}

}  // namespace platter
