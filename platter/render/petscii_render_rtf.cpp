#include "platter/render/petscii_render_rtf.hpp"

#include <map>
#include <string>

#include "forge/strings.hpp"
#include "platter/petscii/palette.hpp"

namespace platter {

namespace {

constexpr std::uint16_t kReverseBit = 0x200;

// RTF colour n is palette index n - 1: entry 0 of the table is the automatic colour.
constexpr const char* kHeaderTemplate =
    "{\\rtf1\\ansi\\ansicpg1252\n"
    "{\\*\\generator {^appName^}}\n"
    "{\\fonttbl\\f0\\fnil\\fcharset0 Tessel Mono;}\n"
    "{\\colortbl ;{^palette^}}\n"
    "\\viewkind4\\uc1\\vieww7600\\viewh6400\n"
    "\\pard\\slmult1\\highlight{^bg^}\\f0\\fs{^lineHeight^}\\cf15\n";

std::string colourTable() {
    std::string table;
    for (std::size_t i = 0; i < g_c64_colour_count; ++i) {
        const forge::rgb_t rgb = g_default_palette.colourAt(i);
        table += forge::format("\\red%u\\green%u\\blue%u;", unsigned{rgb.red}, unsigned{rgb.green}, unsigned{rgb.blue});
    }
    return table;
}

}  // namespace

void PetsciiRenderRtf::writeHeader() {
    const std::map<std::string, std::string> values = {
        {"appName", appName()},
        {"bg", std::to_string(backgroundColour() + 1u)},
        {"lineHeight", std::to_string(fontSize())},
        {"palette", colourTable()},
    };
    out() << forge::expandTemplate(kHeaderTemplate, values);
}

void PetsciiRenderRtf::rowStart() { out() << "\\cb" << backgroundColour() + 1u << ' '; }

void PetsciiRenderRtf::glyph(std::uint16_t code) {
    std::uint8_t ascii = 0;
    if ((code & kReverseBit) == 0 && glyphToAscii(code, ascii))
        out().put(static_cast<char>(ascii));
    else
        out() << "\\u" << static_cast<std::int16_t>(code) << '?';
}

void PetsciiRenderRtf::blank() { out() << "\\~"; }

void PetsciiRenderRtf::foreground(std::uint8_t colour) { out() << "\\cf" << colour + 1u << ' '; }

void PetsciiRenderRtf::rowEnd() {
    for (std::size_t cells = currentRow()->cells.size(); cells < columns(); ++cells) blank();
    out() << "\\cb2 \\\n";
}

void PetsciiRenderRtf::writeFooter() { out() << "}\n"; }

}  // namespace platter
