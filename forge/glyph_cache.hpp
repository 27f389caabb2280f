#pragma once
// Rasterised glyphs of one TrueType font, kept by code point and pixel
// height so that each distinct glyph is drawn once.

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace forge {

struct glyph_key_t {
    std::uint32_t codePoint = 0;
    std::uint16_t pixelHeight = 0;
};

struct glyph_hash {
    std::size_t operator()(const glyph_key_t& key) const noexcept {
        return static_cast<std::size_t>(((std::uint64_t{key.pixelHeight} * 2) ^ std::uint64_t{key.codePoint}) >> 1);
    }
};

struct glyph_equal_to {
    bool operator()(const glyph_key_t& a, const glyph_key_t& b) const noexcept {
        return a.codePoint == b.codePoint && a.pixelHeight == b.pixelHeight;
    }
};

// One coverage byte (0 none to 255 full) per pixel, rows top to bottom;
// pixel-height rows of the cell's width.
using glyph_bitmap_t = std::shared_ptr<const std::vector<std::uint8_t>>;

class GlyphCache {
public:
    GlyphCache();
    virtual ~GlyphCache();
    GlyphCache(const GlyphCache&) = delete;
    GlyphCache& operator=(const GlyphCache&) = delete;

    // Takes the font bytes; empties the table. False when they are no usable font.
    virtual bool setFont(std::vector<std::uint8_t> font) = 0;

    // Width in pixels of a character cell at that pixel height.
    virtual std::uint32_t cellWidth(std::uint16_t pixelHeight) = 0;

    // The same key yields the same bitmap until the table is emptied.
    glyph_bitmap_t glyph(std::uint32_t codePoint, std::uint16_t pixelHeight);

    void clear();

    // Debugging aid: the glyph as text on standard output.
    void dump(std::uint32_t codePoint, std::uint16_t pixelHeight);

protected:
    virtual std::vector<std::uint8_t> rasterise(std::uint32_t codePoint, std::uint16_t pixelHeight) = 0;

private:
    std::unordered_map<glyph_key_t, glyph_bitmap_t, glyph_hash, glyph_equal_to> glyphs_;
};

}  // namespace forge
