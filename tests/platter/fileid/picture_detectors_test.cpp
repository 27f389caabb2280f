#include "platter/fileid/picture_detectors.hpp"

#include <gtest/gtest.h>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/loadstar_rle.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"
#include "tests/support/files.hpp"

namespace platter::fileid {
namespace {

using fileid_test::Keys;
using fileid_test::keysOf;
using test_support::Bytes;
using test_support::bytes;
using test_support::programFile;
using test_support::put;

TEST(Paint, EverySizeAndLoadAddress) {
    struct row_t {
        std::size_t size;
        std::uint16_t load;
        std::uint32_t type;
    };
    const row_t rows[] = {
        {8002, 0x6000, type_id::giga_paint},
        {8002, 0x2000, type_id::hires_bitmap},
        {8194, 0x6000, type_id::centauri},
        {8194, 0x2000, type_id::mono_magic},
        {9002, 0x4000, type_id::interpaint},
        {9009, 0x2000, type_id::art_studio},
        {9194, 0x4000, type_id::image_system},
        {9218, 0x2000, type_id::hi_eddi},
        {9218, 0x1C00, type_id::doodle},
        {9332, 0x3F8E, type_id::paint_magic},
        {10003, 0x4000, type_id::interpaint_mc},
        {10003, 0x6000, type_id::koala_painter},
        {10005, 0x6000, type_id::koala_painter},
        {10004, 0x4000, type_id::face_painter},
        {10006, 0x6000, type_id::run_paint},
        {10007, 0x8000, type_id::create_with_garfield},
        {10018, 0x7800, type_id::saracen_paint},
        {10018, 0x2000, type_id::advanced_art_studio},
        {10050, 0x1800, type_id::picasso64},
        {10051, 0x5800, type_id::draz_paint},
        {10022, 0x18DC, type_id::micro_illustrator},
        {10050, 0x5800, type_id::vidcom64},
        {10218, 0x3C00, type_id::image_system_mc},
        {10242, 0x5C00, type_id::rainbow_painter},
        {10242, 0xA000, type_id::blazing_paddles},
        {10242, 0x4000, type_id::artist64},
        {10242, 0x5800, type_id::dolphin_ed},
        {10259, 0x4000, type_id::amica_paint},
        {10277, 0x7EEF, type_id::cdu_paint},
        {20482, 0x8000, type_id::cheese},
    };
    // The type a row gives the size and load address; unknown when no row does.
    const auto expected = [&rows](std::size_t size, std::uint16_t load) {
        for (const auto& row : rows) {
            if (row.size == size && row.load == load) return row.type;
        }
        return type_id::unknown;
    };
    // Filled with 0xFF: no Koala background colour, no Amica end marker.
    for (const auto& row : rows) {
        EXPECT_EQ(detectPaint(programFile(row.load, row.size, 0xFF)).type, row.type) << row.size << " at " << row.load;
        for (std::size_t size : {row.size - 1, row.size + 1}) {
            EXPECT_EQ(detectPaint(programFile(row.load, size, 0xFF)).type, expected(size, row.load)) << size;
        }
        const auto nextLoad = static_cast<std::uint16_t>(row.load + 1);
        EXPECT_EQ(detectPaint(programFile(nextLoad, row.size, 0xFF)).type, expected(row.size, nextLoad)) << row.size;
    }
    EXPECT_EQ(describe(programFile(0x6000, 10003)), "Koala Painter");
}

TEST(Paint, KoalaElsewhereByItsBackground) {
    Bytes koala = programFile(0x3000, 10003);
    koala[10002] = 15;
    EXPECT_EQ(detectPaint(koala).type, type_id::koala_painter);
    EXPECT_EQ(detectPaint(koala).score, 90u);
    koala[10002] = 16;
    EXPECT_EQ(detectPaint(koala).type, type_id::unknown);
    // Where BASIC loads, a Koala-sized file is no picture.
    EXPECT_EQ(detectPaint(programFile(0x0801, 10003)).type, type_id::unknown);
    EXPECT_EQ(detectPaint(programFile(0x0801, 10005)).type, type_id::unknown);
}

TEST(Paint, Signatures) {
    Bytes amica = programFile(0x4000, 5000, 0xFF);
    put(amica, 4998, {0xC2, 0x00});
    EXPECT_EQ(describe(amica), "Amica Paint");
    EXPECT_EQ(detectPaint(Bytes{0x00, 0x40, 0xC2, 0x00}).type, type_id::amica_paint);
    Bytes godot = programFile(0, 600);
    put(godot, 0, "GOD0");
    EXPECT_EQ(detectPaint(godot).type, type_id::unknown);
    godot.back() = 0xAD;
    EXPECT_EQ(detectPaint(godot).type, type_id::godot_4bit);
    // The packed Draz Paint signature comes before any size.
    Bytes draz = programFile(0x5800, 10051);
    put(draz, 2, "DRAZPAINT");
    EXPECT_EQ(detectPaint(draz).type, type_id::draz_paint_packed);
    EXPECT_EQ(detectPaint(Bytes{0x00}).type, type_id::unknown);
    // Packed Koala pictures are the paint decoder's business, never the walk's.
    EXPECT_EQ(detectKoalaPacked(programFile(0x6000, 3000)).type, type_id::unknown);
}

// A Loadstar picture: header, then the runs given (marker, count, value triples or literals).
Bytes loadstar(bool hires, std::uint8_t marker, std::size_t bitmap, std::size_t colourRuns) {
    Bytes data{0x00, 0x40, static_cast<std::uint8_t>(hires ? 0x80 : 0x00), marker};
    if (!hires) data.push_back(0x0B);  // background
    for (; bitmap >= 256; bitmap -= 256) data.insert(data.end(), {marker, 0, 0x55});
    if (bitmap > 0) data.insert(data.end(), {marker, static_cast<std::uint8_t>(bitmap), 0x55});
    for (std::size_t i = 0; i < colourRuns; ++i) {
        const std::uint8_t colourMarker = i == 0 ? 0x00 : 0xFF;
        data.insert(data.end(), {colourMarker, 0, 1, colourMarker, 0, 1, colourMarker, 0, 1, colourMarker, 232, 1});
    }
    data.resize(std::max<std::size_t>(data.size(), 300), 0x22);
    return data;
}

TEST(LoadstarShp, HiresAndMulticolourByTrialUnpacking) {
    EXPECT_EQ(describe(test_support::readFixture("fileid/hires.shp")), "Loadstar SHP {hires}");
    EXPECT_EQ(keysOf(detectLoadstarShp(loadstar(true, 0xFE, 8000, 1))), Keys{metadata_key::hires});
    EXPECT_EQ(keysOf(detectLoadstarShp(loadstar(false, 0xFE, 8000, 2))), Keys{metadata_key::multicolor});
    // A bitmap one byte short ends the picture early: the counts no longer add up.
    Bytes shortBitmap = loadstar(true, 0xFE, 7999, 1);
    shortBitmap.resize(shortBitmap.size() - (300 - 108));
    EXPECT_EQ(detectLoadstarShp(shortBitmap).type, type_id::unknown);
    EXPECT_EQ(detectLoadstarShp(loadstar(false, 0xFE, 8000, 1)).type, type_id::unknown);
    Bytes wrongLoad = loadstar(true, 0xFE, 8000, 1);
    wrongLoad[1] = 0x60;
    EXPECT_EQ(detectLoadstarShp(wrongLoad).type, type_id::unknown);
    // Size limits of 257 to 10,000 bytes.
    Bytes small = loadstar(true, 0xFE, 8000, 1);
    small.resize(256);
    EXPECT_EQ(detectLoadstarShp(small).type, type_id::unknown);
}

TEST(LoadstarRle, RunsLiteralsAndLimits) {
    const Bytes packed{0x11, 0xFE, 3, 0x22, 0x33, 0xFE, 0, 0x44};
    loadstar_state_t state{0xFE, 0, false, 1000, 0, 0};
    const Bytes out = unpackLoadstar(packed, state);
    ASSERT_EQ(out.size(), 1u + 3 + 1 + 256);
    EXPECT_EQ(out[1], 0x22);
    EXPECT_EQ(out.back(), 0x44);
    EXPECT_EQ(state.offset, packed.size());
    EXPECT_EQ(state.consumed, packed.size());
    EXPECT_EQ(state.produced, out.size());
    // A run that passes the limit is cut there; the next call starts behind it.
    state = loadstar_state_t{0xFE, 0, true, 3, 0, 0};
    EXPECT_TRUE(unpackLoadstar(packed, state).empty());
    EXPECT_EQ(state.produced, 3u);
    EXPECT_EQ(state.offset, 4u);
    // A marker without its count and value ends the data; it is left unread.
    state = loadstar_state_t{0xFE, 0, false, 100, 0, 0};
    EXPECT_EQ(unpackLoadstar(Bytes{0x11, 0xFE, 5}, state), Bytes{0x11});
    EXPECT_EQ(state.offset, 1u);
}

TEST(Pictures, WalkReportsThemAfterPrograms) {
    // An Art Studio picture is nothing else: its zeros are no text.
    EXPECT_EQ(fileid_test::typesOf(identify(programFile(0x2000, 9009))), fileid_test::Types{type_id::art_studio});
}

}  // namespace
}  // namespace platter::fileid
