#pragma once
// The kind an image's own header names when its file has the size of a smaller kind's image:
// what the header and BAM say decides, so a cut image is never taken for a whole smaller one.

#include <cstdint>
#include <functional>
#include <span>

#include "platter/ids/format_id.hpp"

namespace platter {

// The 256 bytes of the file at a byte offset, or an empty span where the file ends before them.
using FileBlockReader = std::function<std::span<const std::uint8_t>(std::uint64_t offset)>;

// `identified`, or the larger kind the file is a cut image of: the one its header names (a
// 1541 image whose header is a 1571's of both sides is a D71, an 8050 image whose BAM covers
// the 8250's tracks a D82), or the image kind its extension names (`named`, none without one)
// where the file lacks the header and BAM of the identified kind (a D81 cut to a D64's size
// has no BAM on 18/0) or where an image of `named` may begin with one of the identified kind
// (a CMD image with its first partition).
format_id kindNamedByHeader(format_id identified, const FileBlockReader& read, format_id named = format_id::none);
// The same for a file held whole in `file`.
format_id kindNamedByHeader(format_id identified, std::span<const std::uint8_t> file,
                            format_id named = format_id::none);

}  // namespace platter
