#pragma once
// The unpackers of packed pictures: run-length packed paint formats,
// Loadstar pictures, geoPaint, GEOS photo albums and geoWrite text.

#include <cstdint>
#include <span>
#include <vector>

#include "platter/picture/rle.hpp"

namespace platter {

// Unpacks the data of a packed paint type into `out` (a whole file, load
// address first); false for types that are not packed and for data that
// does not unpack.
bool unpackPaintData(std::uint32_t type, std::span<const std::uint8_t> data, std::vector<std::uint8_t>& out);

// One run-length packed picture; refused when the data is longer than the
// picture it unpacks to, since packing never makes a file larger.
bool unpackPackedPicture(const rle_format_t& format, std::span<const std::uint8_t> data,
                         std::vector<std::uint8_t>& out);

// The bitmap records of a geoPaint file in GEOS Convert form, unpacked one
// after another; at most the 45 records of a full page.
std::vector<std::uint8_t> unpackGeoPaint(std::span<const std::uint8_t> convertFile);

// The first photo scrap of a GEOS photo album in Convert form: its 3-byte
// header, bitmap lines and colours.
bool unpackPhotoAlbum(std::span<const std::uint8_t> convertFile, std::vector<std::uint8_t>& out);

// The text of a geoWrite document in Convert form as PETSCII, without its
// rulers, font changes and pictures.
bool extractGeoWriteText(std::span<const std::uint8_t> convertFile, std::vector<std::uint8_t>& out);

}  // namespace platter
