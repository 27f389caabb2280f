#include "forge/png_writer.hpp"

#include <algorithm>
#include <limits>
#include <string>
#include <string_view>

#include "forge/adler32.hpp"
#include "forge/colour_table.hpp"
#include "forge/crc32.hpp"
#include "forge/log.hpp"

namespace forge {

namespace {

constexpr std::uint64_t kLargestDimension = 0x7FFFFFFF;
constexpr std::uint64_t kLargestChunk = 0x7FFFFFFF;
constexpr std::uint64_t kLargestStoredBlock = 65535;
constexpr std::size_t kPaletteLimit = 255;
constexpr std::uint8_t kSignature[] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

void appendU32(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void appendText(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

// A chunk is begun with its length and type and ended with the CRC over
// its type and data.
std::size_t beginChunk(std::vector<std::uint8_t>& out, std::uint64_t length, std::string_view type) {
    appendU32(out, length);
    const std::size_t typeStart = out.size();
    appendText(out, type);
    return typeStart;
}

void endChunk(std::vector<std::uint8_t>& out, std::size_t typeStart) {
    appendU32(out, crc32(0, std::span<const std::uint8_t>(out).subspan(typeStart)));
}

// Writes the zlib data as stored deflate blocks of at most blockBytes
// bytes each, starting a block wherever the previous one is full.
class StoredBlockWriter {
public:
    StoredBlockWriter(std::vector<std::uint8_t>& out, std::uint64_t total, std::uint64_t blockBytes)
        : out_(out), remaining_(total), blockBytes_(blockBytes) {}

    void append(std::span<const std::uint8_t> bytes) {
        adler_ = adler32(adler_, bytes);
        while (!bytes.empty()) {
            if (leftInBlock_ == 0) {
                beginBlock();
            }
            const std::size_t part = static_cast<std::size_t>(std::min<std::uint64_t>(leftInBlock_, bytes.size()));
            out_.insert(out_.end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(part));
            leftInBlock_ -= part;
            bytes = bytes.subspan(part);
        }
    }

    std::uint32_t adler() const { return adler_; }

private:
    void beginBlock() {
        const std::uint64_t length = std::min(remaining_, blockBytes_);
        remaining_ -= length;
        const std::uint16_t len = static_cast<std::uint16_t>(length);
        const std::uint16_t nlen = static_cast<std::uint16_t>(~len);
        const std::uint8_t header[] = {remaining_ == 0 ? std::uint8_t{1} : std::uint8_t{0},
                                       static_cast<std::uint8_t>(len), static_cast<std::uint8_t>(len >> 8),
                                       static_cast<std::uint8_t>(nlen), static_cast<std::uint8_t>(nlen >> 8)};
        out_.insert(out_.end(), std::begin(header), std::end(header));
        leftInBlock_ = length;
    }

    std::vector<std::uint8_t>& out_;
    std::uint64_t remaining_;
    std::uint64_t blockBytes_;
    std::uint64_t leftInBlock_ = 0;
    std::uint32_t adler_ = 1;
};

}  // namespace

bool rgbToPng(std::span<const std::uint8_t> pixels, std::uint64_t width, std::uint64_t height,
              std::vector<std::uint8_t>& out) {
    if (width == 0 || height == 0 || width > kLargestDimension || height > kLargestDimension ||
        !holdsRgbPicture(pixels, width, height)) {
        return false;
    }
    const ColourTable palette(pixels, width, height, kPaletteLimit);
    const bool paletted = palette.size() <= kPaletteLimit;
    const std::uint64_t rowBytes = paletted ? width : width * 3;
    const std::uint64_t filteredRow = rowBytes + 1;
    if (height > (kLargestChunk - 6) / filteredRow) {
        return false;
    }
    const std::uint64_t imageBytes = height * filteredRow;
    // Whole rows per block while a row fits one block, else a plain split
    // by byte count (blocks need not align with rows).
    const std::uint64_t rowsPerBlock = kLargestStoredBlock / filteredRow;
    const std::uint64_t blockBytes = rowsPerBlock != 0 ? rowsPerBlock * filteredRow : kLargestStoredBlock;
    const std::uint64_t blocks = (imageBytes + blockBytes - 1) / blockBytes;
    const std::uint64_t idatLength = 2 + 5 * blocks + imageBytes + 4;
    if (idatLength > kLargestChunk) {
        return false;
    }

    const std::string& tag = g_png_software_tag;
    const std::string software = tag.empty() ? "libForge v" + g_forge_version + "/Korrin" : tag;
    out.reserve(out.size() + sizeof kSignature + 25 + (paletted ? 12 + palette.size() * 3 : 0) + 12 + idatLength + 12 +
                9 + software.size() + 12);
    out.insert(out.end(), std::begin(kSignature), std::end(kSignature));

    std::size_t chunk = beginChunk(out, 13, "IHDR");
    appendU32(out, width);
    appendU32(out, height);
    const std::uint8_t format[] = {8, paletted ? std::uint8_t{3} : std::uint8_t{2}, 0, 0, 0};
    out.insert(out.end(), std::begin(format), std::end(format));
    endChunk(out, chunk);

    if (paletted) {
        chunk = beginChunk(out, palette.size() * 3, "PLTE");
        for (const rgb_t colour : palette.colours()) {
            const std::uint8_t entry[] = {colour.red, colour.green, colour.blue};
            out.insert(out.end(), std::begin(entry), std::end(entry));
        }
        endChunk(out, chunk);
    }

    chunk = beginChunk(out, idatLength, "IDAT");
    const std::uint8_t zlibHeader[] = {0x08, 0x1D};
    out.insert(out.end(), std::begin(zlibHeader), std::end(zlibHeader));
    StoredBlockWriter blocksOut(out, imageBytes, blockBytes);
    const std::uint8_t noFilter[] = {0};
    std::vector<std::uint8_t> indices(paletted ? static_cast<std::size_t>(rowBytes) : 0);
    rgb_t previous{};
    std::uint8_t index = 0;
    const std::size_t pixelRowBytes = static_cast<std::size_t>(width * 3);
    for (std::uint64_t y = 0; y < height; ++y) {
        const auto row = pixels.subspan(static_cast<std::size_t>(y) * pixelRowBytes, pixelRowBytes);
        blocksOut.append(noFilter);
        if (!paletted) {
            blocksOut.append(row);
            continue;
        }
        for (std::size_t x = 0; x < indices.size(); ++x) {
            const rgb_t colour = rgbAt(row, x * 3);
            if (x == 0 || colour != previous) {
                previous = colour;
                index = static_cast<std::uint8_t>(palette.indexOf(colour));
            }
            indices[x] = index;
        }
        blocksOut.append(indices);
    }
    appendU32(out, blocksOut.adler());
    endChunk(out, chunk);

    chunk = beginChunk(out, 9 + software.size(), "tEXt");
    appendText(out, "Software");
    out.push_back(0);
    appendText(out, software);
    endChunk(out, chunk);

    chunk = beginChunk(out, 0, "IEND");
    endChunk(out, chunk);
    return true;
}

bool rasterToPng(const raster_image_t& picture, std::vector<std::uint8_t>& out) {
    if (picture.bytesPerPixel != 3 || !picture.isWhole()) return false;
    const std::size_t rowBytes = std::size_t{picture.width} * 3;
    if (picture.channelOrder == raster_image_t::kRgb && picture.rowIncrement == rowBytes) {
        return rgbToPng(std::span(picture.pixels).first(rowBytes * picture.height), picture.width, picture.height, out);
    }
    std::vector<std::uint8_t> rgb;
    rgb.reserve(rowBytes * picture.height);
    const bool swap = picture.channelOrder != raster_image_t::kRgb;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        const std::uint8_t* row = picture.pixels.data() + std::size_t{picture.rowIncrement} * y;
        for (std::size_t x = 0; x < rowBytes; x += 3) {
            rgb.push_back(row[x + (swap ? 2 : 0)]);
            rgb.push_back(row[x + 1]);
            rgb.push_back(row[x + (swap ? 0 : 2)]);
        }
    }
    return rgbToPng(rgb, picture.width, picture.height, out);
}

}  // namespace forge
