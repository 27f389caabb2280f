// libFuzzer target: arbitrary bytes decoded as a G64 and as a NIB. The result
// must always be a D64 of one of the decoder's lengths.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platter/formats/gcr_decoder.hpp"

namespace {

void decode(std::span<const std::uint8_t> bytes, bool g64) {
    platter::GcrDecoder decoder;
    decoder.setFastFirst(true);
    if (g64)
        decoder.loadG64(bytes);
    else
        decoder.loadNib(bytes);
    decoder.decodeAllTracks();
    const std::size_t size = decoder.takeImage().size();
    for (const std::size_t blocks : {683u, 768u, 802u}) {
        if (size == blocks * 256 || size == blocks * 257) return;
    }
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    decode(bytes, true);
    decode(bytes, false);
    return 0;
}
