#include "forge/embedded_font.hpp"

#include "forge/font/tessel_mono.hpp"
#include "forge/glyph_cache_stb.hpp"

namespace forge {

namespace {

struct embedded_font_t {
    std::shared_ptr<GlyphCache> glyphs;
    bool loaded = false;
};

const embedded_font_t& embeddedFont() {
    static const embedded_font_t font = [] {
        auto stb = std::make_shared<GlyphCacheStb>();
        const bool loaded = stb->setFont(std::vector<std::uint8_t>(g_font_ttf, g_font_ttf + g_font_ttf_size));
        return embedded_font_t{stb, loaded};
    }();
    return font;
}

}  // namespace

std::shared_ptr<GlyphCache> embeddedFontGlyphs() { return embeddedFont().glyphs; }

bool embeddedFontLoaded() { return embeddedFont().loaded; }

}  // namespace forge
