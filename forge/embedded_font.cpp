#include "forge/embedded_font.hpp"

#include "forge/font/tessel_mono.hpp"
#include "forge/glyph_cache_stb.hpp"

namespace forge {

std::shared_ptr<GlyphCache> embeddedFontGlyphs() {
    static const std::shared_ptr<GlyphCache> cache = [] {
        auto stb = std::make_shared<GlyphCacheStb>();
        stb->setFont(std::vector<std::uint8_t>(g_font_ttf, g_font_ttf + g_font_ttf_size));
        return stb;
    }();
    return cache;
}

}  // namespace forge
