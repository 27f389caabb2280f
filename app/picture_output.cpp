#include "app/picture_output.hpp"

#include "forge/paths.hpp"
#include "forge/pixel_limit.hpp"
#include "forge/scale.hpp"
#include "forge/sixel.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/picture/paint_decode.hpp"
#include "platter/picture/paint_identify.hpp"

namespace app {

bool opensAsImageByExtension(const std::string& path) {
    const platter::container_format_t* row = platter::formatByExtension(forge::fileExtension(path));
    return row != nullptr && platter::isImageKind(*row);
}

void reportOpenMessages(Reporter& reporter, const std::vector<forge::message_t>& messages) {
    for (const forge::message_t& message : messages) {
        const bool error = message.level == forge::message_level::error;
        reporter.report(message, error ? Reporter::kQuietErrors : Reporter::kQuietWarnings);
    }
}

bool decodeIdentifiedPicture(const platter::fileid::file_traits_t& traits, std::span<const std::uint8_t> data,
                             forge::raster_image_t& out) {
    const std::uint32_t type = platter::paintTypeFromFileId(traits.type, traits.metadata);
    return type != 0 && platter::decodePaintPicture(data, type, out);
}

bool fitsWhenScaled(const forge::raster_image_t& picture, std::uint64_t scale) {
    return scale <= forge::kMaxPicturePixels && forge::fitsPixelLimit(picture.width * scale, picture.height * scale);
}

std::vector<std::uint8_t> sixelOf(const forge::raster_image_t& picture, std::uint64_t scale) {
    std::vector<std::uint8_t> sixel;
    if (scale == 1) {
        forge::rgbToSixel(picture.pixels, picture.width, picture.height, sixel);
    } else {
        const std::vector<std::uint8_t> scaled = forge::scaleRgb(picture.pixels, picture.width, picture.height, scale);
        forge::rgbToSixel(scaled, picture.width * scale, picture.height * scale, sixel);
    }
    return sixel;
}

std::string tooLargeText(const std::string& name, std::uint64_t width, std::uint64_t height) {
    return "'" + name + "': a " + std::to_string(width) + " x " + std::to_string(height) + " picture is too large.";
}

}  // namespace app
