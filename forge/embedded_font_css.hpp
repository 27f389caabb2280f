#pragma once
// The embedded font as a CSS rule, so that a page draws its glyphs in a browser
// that does not have the font installed.

#include <string>

namespace forge {

// "@font-face{...}" for the family "Tessel Mono" whose source is the font as a
// base64 data: URL; built on the first call, so only writers of pages pay for it.
const std::string& embeddedFontFaceRule();

}  // namespace forge
