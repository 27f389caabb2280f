#pragma once
// The glyph cache over stb_truetype.

#include <memory>

#include "forge/glyph_cache.hpp"

namespace forge {

class GlyphCacheStb final : public GlyphCache {
public:
    GlyphCacheStb();
    ~GlyphCacheStb() override;

    // Refuses bytes whose table directory, metrics or glyph locations lie
    // outside them, and fonts whose ascent minus descent is not positive.
    // stb_truetype trusts the outlines themselves: give it only fonts of
    // the program's own.
    bool setFont(std::vector<std::uint8_t> font) override;

    // Rounded advance of the space; without a font the cell is square.
    std::uint32_t cellWidth(std::uint16_t pixelHeight) override;

protected:
    // The glyph's box is clipped to the cell, so fonts whose outlines stray
    // outside it (or scales that round them out by a pixel) stay in bounds.
    // Without a font every cell is blank.
    std::vector<std::uint8_t> rasterise(std::uint32_t codePoint, std::uint16_t pixelHeight) override;

private:
    struct Font;
    std::unique_ptr<Font> font_;
};

}  // namespace forge
