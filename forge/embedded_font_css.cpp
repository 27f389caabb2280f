#include "forge/embedded_font_css.hpp"

#include "forge/base64.hpp"
#include "forge/font/tessel_mono.hpp"

namespace forge {

const std::string& embeddedFontFaceRule() {
    static const std::string rule = "@font-face{font-family:\"Tessel Mono\";src:url(data:font/ttf;base64," +
                                    base64Encode({g_font_ttf, g_font_ttf_size}) + ") format(\"truetype\");}";
    return rule;
}

}  // namespace forge
