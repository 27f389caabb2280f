#pragma once
// The glyph cache of the embedded font, shared by every painter of the
// process so that each glyph is rasterised once.

#include <memory>

#include "forge/glyph_cache.hpp"

namespace forge {

// Never null. Should the font be refused, every glyph is a blank cell.
std::shared_ptr<GlyphCache> embeddedFontGlyphs();

// Whether the cache took the font (it is handed over once per process).
bool embeddedFontLoaded();

}  // namespace forge
