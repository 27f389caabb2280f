#pragma once

#include <cstdint>
#include <span>

namespace platter {

// Fills the header, both BAM blocks and the first directory block of a new 1581 image.
void initD81Header(std::span<std::uint8_t, 256> header, std::span<std::uint8_t, 256> bam1,
                   std::span<std::uint8_t, 256> bam2, std::span<std::uint8_t, 256> firstDirectory);

}  // namespace platter
