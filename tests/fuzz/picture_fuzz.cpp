// libFuzzer target: arbitrary bytes identified as a paint picture and decoded
// as every paint type, and drawn as a character set.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "forge/pixel_limit.hpp"
#include "platter/picture/charset_image.hpp"
#include "platter/picture/paint_decode.hpp"
#include "platter/picture/paint_identify.hpp"
#include "platter/picture/paint_type_ids.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    // The first 32 bytes also serve as a directory entry, so GEOS classes are reached.
    const std::span<const std::uint8_t> entry = bytes.first(std::min<std::size_t>(size, 32));
    const std::uint32_t identified = platter::identifyPaintType(entry, bytes);
    for (std::uint32_t type = 1; type <= platter::paint_type::loadstar_mc; ++type) {
        if (type != identified && type % 7 != size % 7) continue;  // a few types per input keep runs fast
        forge::raster_image_t picture;
        if (platter::decodePaintPicture(bytes, type, picture) &&
            std::uint64_t{picture.width} * picture.height > forge::kMaxPicturePixels) {
            std::abort();
        }
    }
    forge::raster_image_t sheet;
    platter::decodeCharsetImage(bytes, platter::charset_image_t{}, sheet);
    return 0;
}
