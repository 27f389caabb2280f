#include "forge/glyph_cache.hpp"

#include <cstdio>
#include <iostream>

namespace forge {

namespace {
constexpr std::size_t kInitialBuckets = 256;
}

GlyphCache::GlyphCache() : glyphs_(kInitialBuckets) { glyphs_.max_load_factor(1.0f); }

GlyphCache::~GlyphCache() = default;

glyph_bitmap_t GlyphCache::glyph(std::uint32_t codePoint, std::uint16_t pixelHeight) {
    const glyph_key_t key{codePoint, pixelHeight};
    if (const auto found = glyphs_.find(key); found != glyphs_.end()) {
        return found->second;
    }
    auto bitmap = std::make_shared<const std::vector<std::uint8_t>>(rasterise(codePoint, pixelHeight));
    glyphs_.emplace(key, bitmap);
    return bitmap;
}

void GlyphCache::clear() { glyphs_.clear(); }

void GlyphCache::dump(std::uint32_t codePoint, std::uint16_t pixelHeight) {
    const glyph_bitmap_t bitmap = glyph(codePoint, pixelHeight);
    const std::size_t width = pixelHeight == 0 ? 0 : bitmap->size() / pixelHeight;
    char codeText[16];
    std::snprintf(codeText, sizeof codeText, "%x", codePoint);
    std::cout << "[glyph cp: " << codeText << " sz: " << width << "x" << pixelHeight << "]\n";
    for (std::size_t row = 0; row < pixelHeight; ++row) {
        for (std::size_t column = 0; column < width; ++column) {
            std::cout << ((*bitmap)[row * width + column] != 0 ? "* " : ": ");
        }
        std::cout << "\n";
    }
}

}  // namespace forge
