#include "platter/fileid/identification_reads.hpp"

namespace platter::fileid {

namespace {

struct fixed_image_t {
    std::uint64_t blocks;
    std::uint64_t headerBlock;  // byte offset of the block the detector inspects; 0 for none
};

// Images whose detector decides by size alone and ends the walk; the D64 and D81 detectors
// also look at their header block, the CMD FD ones at their system header.
constexpr fixed_image_t kFixedImages[] = {
    {683, 0x16500},  {768, 0x16500},   {802, 0x16500},     // D64 of 35, 40 and 42 tracks
    {1366, 0},       {3200, 0x61800},                      // D71, D81
    {2083, 0},       {4166, 0},                            // D80, D82
    {3240, 0xc8500}, {6480, 0x190500}, {12960, 0x320500},  // D1M, D2M, D4M
};

}  // namespace

std::vector<byte_range_t> identificationReads(std::uint64_t size) {
    for (const fixed_image_t& image : kFixedImages) {
        if (size != image.blocks * 256 && size != image.blocks * 257) continue;
        std::vector<byte_range_t> reads = {{0, 256}};
        if (image.headerBlock != 0) reads.push_back({image.headerBlock, 256});
        return reads;
    }
    return {};
}

}  // namespace platter::fileid
