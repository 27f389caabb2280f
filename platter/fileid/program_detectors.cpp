#include "platter/fileid/program_detectors.hpp"

#include <algorithm>
#include <string_view>

#include "platter/fileid/basic_lines.hpp"
#include "platter/fileid/byte_match.hpp"
#include "platter/fileid/metadata_items.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"

namespace platter::fileid {

namespace {

// Bit changes across a byte read from bit 7 to bit 0, starting from a clear bit.
int bitChanges(std::uint8_t byte) {
    int changes = 0;
    int previous = 0;
    for (int bit = 7; bit >= 0; --bit) {
        const int current = (byte >> bit) & 1;
        changes += current != previous ? 1 : 0;
        previous = current;
    }
    return changes;
}

// How many of a glyph's rows look drawn, and whether any looks broken; a row is
// good when it ends clear and has one of the allowed numbers of bit changes.
struct glyph_rows_t {
    int good = 0;
    bool bad = false;
};

glyph_rows_t judgeGlyph(std::span<const std::uint8_t> rows, bool twoRunsAllowed) {
    glyph_rows_t result;
    for (std::uint8_t row : rows) {
        if (row == 0) continue;
        const int changes = bitChanges(row);
        const bool good = (row & 1) == 0 && (changes == 2 || (twoRunsAllowed && changes == 4));
        if (good) {
            ++result.good;
        } else {
            result.bad = true;
        }
    }
    return result;
}

}  // namespace

file_traits_t detectSidplayer(std::span<const std::uint8_t> data) {
    if (data.size() < 8) return g_unknown_traits;
    // Three voices, each ending with the command 01 'O', one after the other.
    const std::uint64_t a = readLe16(data, 2);
    const std::uint64_t b = readLe16(data, 4);
    const std::uint64_t c = readLe16(data, 6);
    if (a + b + c + 7 >= data.size()) return g_unknown_traits;
    static constexpr std::uint8_t kVoiceEnd[] = {0x01, 'O'};
    for (std::uint64_t end : {a + 6, a + b + 6, a + b + c + 6}) {
        if (!matchAt(data, end, kVoiceEnd)) return g_unknown_traits;
    }
    return recognised(type_id::sidplayer);
}

file_traits_t detectBasic(std::span<const std::uint8_t> data) {
    if (data.empty() || data[0] != 0x01) return g_unknown_traits;
    const std::uint16_t load = readLe16(data, 0);
    if (load <= 1024) return g_unknown_traits;
    const std::uint32_t lines = countBasicLines(data, load);
    if (lines == 0) return g_unknown_traits;

    struct machine_t {
        std::uint16_t load;
        std::uint32_t type;
        std::uint32_t key;
    };
    static constexpr machine_t kMachines[] = {
        {0x0401, type_id::basic_v40, metadata_key::pet},   {0x0801, type_id::basic_v20, metadata_key::c64},
        {0x1001, type_id::basic_v20, metadata_key::vic20}, {0x1C01, type_id::basic_v70, metadata_key::c128},
        {0x4001, type_id::basic_v35, metadata_key::c264},
    };
    const auto machine =
        std::find_if(std::begin(kMachines), std::end(kMachines), [load](const machine_t& m) { return m.load == load; });
    file_traits_t traits = recognised(type_id::basic);
    if (machine != std::end(kMachines)) {
        traits.type = machine->type;
        addFlag(traits, machine->key);
    } else {
        // Loaded where no Commodore machine starts its BASIC: less sure.
        traits.score = 75;
    }
    addWord(traits, metadata_key::line_count, static_cast<std::uint16_t>(std::min<std::uint32_t>(lines, 0xFFFF)));
    return traits;
}

file_traits_t detectTurboAssembler(std::span<const std::uint8_t> data) {
    if (data.size() < 22) return g_unknown_traits;
    // The source keeps an address of the assembler's workspace; the assembler's
    // name then stands where that workspace address puts it.
    const std::int64_t workspace = readLe16(data, 20);
    struct marker_t {
        std::int64_t address;
        std::string_view word;
        std::uint32_t type;
    };
    static constexpr marker_t kMarkers[] = {
        {33004, "TURBO", type_id::turbo_assembler_macro},
        {35564, "TURBO", type_id::turbo_assembler_variant3},
        {37100, "TURBO", type_id::turbo_assembler},
        {37100, "MARCO", type_id::turbo_assembler_variant2},  // an author's first name
        {35067, "TRMAC", type_id::turbo_assembler_variant1},
        {41196, "TURBO", type_id::turbo_assembler_panoramic},
    };
    for (const auto& marker : kMarkers) {
        const std::int64_t offset = marker.address - workspace;
        if (offset < 252 || static_cast<std::uint64_t>(offset) + 5 >= data.size()) continue;
        if (matchAt(data, static_cast<std::uint64_t>(offset), marker.word)) return recognised(marker.type);
    }
    return g_unknown_traits;
}

file_traits_t detectCharset(std::span<const std::uint8_t> data) {
    // 256 glyphs of 8 bytes, with or without a load address on a 2 KB boundary.
    if (data.size() < 2048 || data.size() > 2050 || (data[1] & 0x07) != 0) return g_unknown_traits;
    const auto glyph = [&data](std::uint64_t offset) { return data.subspan(offset, 8); };
    const auto space = glyph(258);
    if (std::any_of(space.begin(), space.end(), [](std::uint8_t row) { return row != 0; })) return g_unknown_traits;
    // "I" is one run of set bits per row, "O" one or two.
    const glyph_rows_t letterI = judgeGlyph(glyph(74), false);
    std::uint32_t score = letterI.good > 3 && !letterI.bad ? 90 : 70;
    const glyph_rows_t letterO = judgeGlyph(glyph(122), true);
    score = letterO.good > 5 && !letterO.bad ? score + 10 : score - 10;
    return file_traits_t{type_id::charset_1x1, score, {}};
}

}  // namespace platter::fileid
