#include "platter/core/picture_export.hpp"

#include "forge/bmp_writer.hpp"
#include "forge/png_writer.hpp"
#include "platter/petscii/render_settings.hpp"
#include "platter/picture/charset_image.hpp"
#include "platter/picture/paint_decode.hpp"
#include "platter/picture/paint_type_ids.hpp"

namespace platter {

bool decodePictureForExport(std::uint32_t paintType, std::span<const std::uint8_t> data, const PetsciiWriter& writer,
                            forge::raster_image_t& picture) {
    if (paintType == paint_type::seq) {
        bitmap_render_settings_t settings = renderSettingsFor(writer, {data.begin(), data.end()});
        picture = renderPetsciiTextImage(settings);
        return !picture.pixels.empty();
    }
    if (paintType == paint_type::font) return decodeCharsetSheet(data, picture);
    return decodePaintPicture(data, paintType, picture);
}

bool exportAsPicture(std::uint32_t paintType, std::span<const std::uint8_t> data, picture_file kind,
                     const PetsciiWriter& writer, std::vector<std::uint8_t>& file) {
    forge::raster_image_t picture;
    if (!decodePictureForExport(paintType, data, writer, picture)) return false;
    return kind == picture_file::png ? forge::rasterToPng(picture, file) : forge::rasterToBmp(picture, file);
}

}  // namespace platter
