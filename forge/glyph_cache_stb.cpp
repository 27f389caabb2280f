#include "forge/glyph_cache_stb.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <string_view>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb/stb_truetype.h>
#pragma GCC diagnostic pop

namespace forge {

namespace {

std::optional<std::uint32_t> bigEndian(std::span<const std::uint8_t> bytes, std::uint64_t offset, std::size_t size) {
    if (offset > bytes.size() || bytes.size() - offset < size) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i) {
        value = value << 8 | bytes[static_cast<std::size_t>(offset) + i];
    }
    return value;
}

struct table_t {
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// The table with that tag, from a directory already checked to lie inside the bytes.
std::optional<table_t> findTable(std::span<const std::uint8_t> font, std::string_view tag) {
    const std::uint32_t wanted = std::uint32_t{std::uint8_t(tag[0])} << 24 | std::uint32_t{std::uint8_t(tag[1])} << 16 |
                                 std::uint32_t{std::uint8_t(tag[2])} << 8 | std::uint8_t(tag[3]);
    const std::uint64_t count = *bigEndian(font, 4, 2);
    for (std::uint64_t record = 12; record < 12 + count * 16; record += 16) {
        if (*bigEndian(font, record, 4) == wanted) {
            return table_t{*bigEndian(font, record + 8, 4), *bigEndian(font, record + 12, 4)};
        }
    }
    return std::nullopt;
}

// The structure stb_truetype reads without checking: table directory,
// metrics and the location of every glyph outline.
bool isUsableTrueType(std::span<const std::uint8_t> font) {
    const auto version = bigEndian(font, 0, 4);
    const auto count = bigEndian(font, 4, 2);
    if (!version || (*version != 0x00010000 && *version != 0x74727565) || !count) {
        return false;
    }
    for (std::uint64_t record = 12; record < 12 + std::uint64_t{*count} * 16; record += 16) {
        const auto offset = bigEndian(font, record + 8, 4);
        const auto length = bigEndian(font, record + 12, 4);
        if (!offset || !length || std::uint64_t{*offset} + *length > font.size()) {
            return false;
        }
    }
    const auto head = findTable(font, "head");
    const auto hhea = findTable(font, "hhea");
    const auto maxp = findTable(font, "maxp");
    const auto hmtx = findTable(font, "hmtx");
    const auto loca = findTable(font, "loca");
    const auto glyf = findTable(font, "glyf");
    if (!head || !hhea || !maxp || !hmtx || !loca || !glyf || !findTable(font, "cmap") || head->length < 54 ||
        hhea->length < 36 || maxp->length < 6) {
        return false;
    }
    const std::uint64_t glyphs = *bigEndian(font, maxp->offset + 4, 2);
    const std::uint64_t metrics = *bigEndian(font, hhea->offset + 34, 2);
    if (metrics == 0 || metrics > glyphs || hmtx->length < metrics * 4 + (glyphs - metrics) * 2) {
        return false;
    }
    const bool longOffsets = *bigEndian(font, head->offset + 50, 2) != 0;
    const std::size_t entrySize = longOffsets ? 4 : 2;
    if (loca->length < (glyphs + 1) * entrySize) {
        return false;
    }
    std::uint64_t previous = 0;
    for (std::uint64_t g = 0; g <= glyphs; ++g) {
        const std::uint64_t location =
            *bigEndian(font, loca->offset + g * entrySize, entrySize) * (longOffsets ? 1 : 2);
        if (location < previous || location > glyf->length) {
            return false;
        }
        previous = location;
    }
    return true;
}

int roundToInt(float value) { return static_cast<int>(std::roundf(value)); }

}  // namespace

struct GlyphCacheStb::Font {
    std::vector<std::uint8_t> bytes;
    stbtt_fontinfo info{};
    float ascent = 0;
    float unitsPerPixelHeight = 0;  // hhea ascent minus descent

    float scale(std::uint16_t pixelHeight) const { return pixelHeight / unitsPerPixelHeight; }
};

GlyphCacheStb::GlyphCacheStb() = default;
GlyphCacheStb::~GlyphCacheStb() = default;

bool GlyphCacheStb::setFont(std::vector<std::uint8_t> bytes) {
    clear();
    font_.reset();
    if (!isUsableTrueType(bytes)) {
        return false;
    }
    auto font = std::make_unique<Font>();
    font->bytes = std::move(bytes);
    if (stbtt_InitFont(&font->info, font->bytes.data(), 0) == 0) {
        return false;
    }
    int ascent = 0;
    int descent = 0;
    int lineGap = 0;
    stbtt_GetFontVMetrics(&font->info, &ascent, &descent, &lineGap);
    if (ascent - descent <= 0) {
        return false;
    }
    font->ascent = static_cast<float>(ascent);
    font->unitsPerPixelHeight = static_cast<float>(ascent - descent);
    font_ = std::move(font);
    return true;
}

std::uint32_t GlyphCacheStb::cellWidth(std::uint16_t pixelHeight) {
    if (!font_) {
        return pixelHeight;
    }
    int advance = 0;
    int leftSideBearing = 0;
    stbtt_GetGlyphHMetrics(&font_->info, stbtt_FindGlyphIndex(&font_->info, ' '), &advance, &leftSideBearing);
    return static_cast<std::uint32_t>(std::max(0, roundToInt(static_cast<float>(advance) * font_->scale(pixelHeight))));
}

std::vector<std::uint8_t> GlyphCacheStb::rasterise(std::uint32_t codePoint, std::uint16_t pixelHeight) {
    if (!font_) {
        return std::vector<std::uint8_t>(std::size_t{pixelHeight} * pixelHeight);
    }
    const stbtt_fontinfo& info = font_->info;
    const float s = font_->scale(pixelHeight);
    const int baseline = roundToInt(font_->ascent * s);
    const int glyph = stbtt_FindGlyphIndex(&info, static_cast<int>(codePoint));
    int advance = 0;
    int leftSideBearing = 0;
    stbtt_GetGlyphHMetrics(&info, glyph, &advance, &leftSideBearing);
    const int width = std::max(0, roundToInt(static_cast<float>(advance) * s));
    const int left = roundToInt(static_cast<float>(leftSideBearing) * s);
    std::vector<std::uint8_t> cell(static_cast<std::size_t>(width) * pixelHeight);

    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetGlyphBitmapBoxSubpixel(&info, glyph, s, s, 0, 0, &x0, &y0, &x1, &y1);
    const int boxWidth = x1 - x0;
    const int boxHeight = y1 - y0;
    if (boxWidth <= 0 || boxHeight <= 0 || width == 0) {
        return cell;
    }
    std::vector<std::uint8_t> box(static_cast<std::size_t>(boxWidth * boxHeight));
    stbtt_MakeGlyphBitmapSubpixel(&info, box.data(), boxWidth, boxHeight, boxWidth, s, s, 0, 0, glyph);

    const int top = baseline + y0;
    const int firstRow = std::max(0, -top);
    const int lastRow = std::min(boxHeight, pixelHeight - top);
    const int firstColumn = std::max(0, -left);
    const int lastColumn = std::min(boxWidth, width - left);
    for (int row = firstRow; row < lastRow; ++row) {
        for (int column = firstColumn; column < lastColumn; ++column) {
            cell[static_cast<std::size_t>((top + row) * width + left + column)] =
                box[static_cast<std::size_t>(row * boxWidth + column)];
        }
    }
    return cell;
}

}  // namespace forge
