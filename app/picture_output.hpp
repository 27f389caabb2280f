#pragma once
// What view and render share: which files open as containers, the pictures
// they draw from files (paint pictures by their identified type, character
// sets as a sheet of glyphs), and the sixel form of a picture enlarged for
// the terminal.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/reporter.hpp"
#include "forge/message.hpp"
#include "forge/raster_image.hpp"
#include "platter/fileid/file_traits.hpp"

namespace app {

// Type categories of the identification table that view and render route by.
inline constexpr std::int32_t kContainerCategory = 0;
inline constexpr std::int32_t kPictureCategory = 3;

// A host file that nothing identifies opens as a container when its extension names a disk or
// tape image kind; never through the single-file wrapper, since view and render show such
// files as they are.
bool opensAsImageByExtension(const std::string& path);

// Messages of the open step at the levels -q's help gives them: -qq withholds notices and
// warnings, -qqq errors (one -q omits only the pictures and labels).
void reportOpenMessages(Reporter& reporter, const std::vector<forge::message_t>& messages);

// The picture of a file identified as a paint picture; false when it does
// not decode (or would be larger than the pixel limit).
bool decodeIdentifiedPicture(const platter::fileid::file_traits_t& traits, std::span<const std::uint8_t> data,
                             forge::raster_image_t& out);

// Both sides of the picture enlarged `scale` times fit the pixel limit.
bool fitsWhenScaled(const forge::raster_image_t& picture, std::uint64_t scale);

// The picture enlarged `scale` times, as a sixel stream; the caller checked
// fitsWhenScaled.
std::vector<std::uint8_t> sixelOf(const forge::raster_image_t& picture, std::uint64_t scale);

// "'<name>': a W x H picture is too large."
std::string tooLargeText(const std::string& name, std::uint64_t width, std::uint64_t height);

}  // namespace app
