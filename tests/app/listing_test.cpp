#include "app/listing_canonical.hpp"

#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"

#include <gtest/gtest.h>

#include "app/program_state.hpp"
#include "app/listing_fields.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/open/open_container.hpp"

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace app {
namespace {

using platter::Charset;
using platter::dir_entry_t;

std::unique_ptr<platter::Disk> openLsFixtureWithEmptySlots(const std::string& name) {
    const std::vector<std::uint8_t> bytes = test_support::readFixture("ls/" + name);
    std::unique_ptr<platter::Disk> disk = platter::openContainer(platter::format_id::d64, name, bytes).disk;
    if (disk) disk->setIncludeEmpty(true);
    return disk;
}

dir_entry_t entryNamed(std::vector<std::uint8_t> name, std::uint8_t type = 0x82) {
    name.resize(16, 0xA0);
    dir_entry_t entry;
    entry.bytes[2] = type;
    entry.setName(name);
    return entry;
}

// Exposes what a prepared listing keeps.
class Probe : public RenderCanonical {
public:
    std::vector<std::uint64_t> keptIndices() const {
        std::vector<std::uint64_t> kept;
        for (const listed_entry_t& listed : entries()) kept.push_back(listed.index);
        return kept;
    }
};

class RenderText : public ::testing::Test {
protected:
    void SetUp() override { g_console.setMode(forge::kModeUnicode); }
    void TearDown() override { g_console.setMode(forge::kModeUnicode); }
    Probe render;
};

TEST_F(RenderText, UnicodeGoesThroughScreenCodes) {
    const std::vector<std::uint8_t> bytes = {0x41, 0xA0, 0x61, 0x20};
    EXPECT_EQ(render.petsciiToText(bytes, Charset::upperGraphics, false), "A\u00a0\u2660 ");
    EXPECT_EQ(render.petsciiToText(bytes, Charset::lowerUpper, false), "a\u00a0A ");
    // A reversed space is the full block.
    EXPECT_EQ(render.petsciiToText(std::vector<std::uint8_t>{0x20}, Charset::upperGraphics, true), "\u2588");
}

TEST_F(RenderText, AsciiFallsBackForGraphicsAndIgnoresReverse) {
    g_console.setMode(forge::kModeAscii);
    const std::vector<std::uint8_t> bytes = {0x41, 0xA0, 0xC1, 0x20, 0x0D};
    EXPECT_EQ(render.petsciiToText(bytes, Charset::upperGraphics, true), "A ` `");
    // The shifted letters are the capitals of the lower/upper set.
    EXPECT_EQ(render.petsciiToText(bytes, Charset::lowerUpper, false), "a A `");
}

TEST_F(RenderText, ShiftedSpacesInNames) {
    g_console.setMode(forge::kModeAscii);
    struct row_t {
        std::vector<std::uint8_t> name;
        std::string text;
        std::uint64_t trimmed;
    };
    const std::vector<row_t> rows = {
        {{'A', 'B', 0xA0, 'C'}, "AB\"C", 4},
        {{'Q', '"', 'X', 0xA0, 'Y'}, "Q\"X Y", 5},
        {{'A', 0xA0, 'B', 0xA0, 'C'}, "A\"B C", 5},
        {{}, "", 0},
        {{'H', 'E', 'L', 'L', 'O'}, "HELLO", 5},
        {{'S', 'I', 'X', 'T', 'E', 'E', 'N', ' ', 'C', 'H', 'A', 'R', 'S', '!', '!', '!'}, "SIXTEEN CHARS!!!", 16},
    };
    for (const row_t& row : rows) {
        const dir_entry_t entry = entryNamed(row.name);
        EXPECT_EQ(render.entryNameText(entry, Charset::upperGraphics, false), row.text) << row.text;
        EXPECT_EQ(render.trimmedNameLength(entry), row.trimmed) << row.text;
    }
}

// Images whose DOS names types as the 1541 and the 1581 do.
class DosNames : public platter::Disk41 {
public:
    explicit DosNames(platter::type_name_table table) : table_(table) {}
    platter::type_name_table typeNameTable() const override { return table_; }

private:
    platter::type_name_table table_;
};

TEST_F(RenderText, TypeNamesByImageKind) {
    const DosNames dos1541(platter::type_name_table::dos1541);
    const DosNames dos1581(platter::type_name_table::dos1581);
    const auto typeText = [&](const platter::Disk& disk, std::uint8_t type, Charset charset) {
        return render.typeText(platter::listingLine(disk, entryNamed({'X'}, type)), charset);
    };
    g_console.setMode(forge::kModeAscii);
    EXPECT_EQ(typeText(dos1541, 0x82, Charset::upperGraphics), "PRG");
    EXPECT_EQ(typeText(dos1541, 0x86, Charset::upperGraphics), "EQ");
    EXPECT_EQ(typeText(dos1541, 0x85, Charset::upperGraphics), "EL");
    EXPECT_EQ(typeText(dos1581, 0x85, Charset::upperGraphics), "CBM");
    EXPECT_EQ(typeText(dos1541, 0x8D, Charset::upperGraphics), "R? ");
    EXPECT_EQ(typeText(dos1541, 0x82, Charset::lowerUpper), "prg");
    g_console.setMode(forge::kModeUnicode);
    EXPECT_EQ(typeText(dos1541, 0x8D, Charset::upperGraphics), "R?\u2588");
    EXPECT_NE(typeText(dos1581, 0x8D, Charset::upperGraphics), "R?\u2588");
}

TEST_F(RenderText, HumanNumbers) {
    EXPECT_EQ(render.numberText(1536), "1536");
    render.settings.human = true;
    EXPECT_EQ(render.numberText(1536), "1.5K");
    EXPECT_EQ(render.numberText(1023), "1023");
}

TEST_F(RenderText, DiskNameAndIdKeepTheirPadding) {
    g_console.setMode(forge::kModeAscii);
    const std::unique_ptr<platter::Disk> disk = openLsFixtureWithEmptySlots("t.d64");
    ASSERT_TRUE(disk);
    EXPECT_EQ(render.diskNameText(*disk, Charset::upperGraphics, false), "\"TEST DISK       \" ");
    EXPECT_EQ(render.diskIdText(*disk, Charset::upperGraphics, false), "AB 2A");
    // cc1541 writes the id as given; cbmconvert puts a shifted space between.
    const std::unique_ptr<platter::Disk> other = openLsFixtureWithEmptySlots("tree/A.d64");
    ASSERT_TRUE(other);
    g_console.setMode(forge::kModeUnicode);
    EXPECT_EQ(render.diskIdText(*other, Charset::upperGraphics, false), "98\u00a02A");
}

class RenderPrepare : public ::testing::Test {
protected:
    void SetUp() override {
        disk = openLsFixtureWithEmptySlots("flags.d64");
        ASSERT_TRUE(disk);
    }

    void prepare(const std::string& selector) {
        ASSERT_TRUE(render.selection.parseSelection(selector));
        ASSERT_TRUE(render.selection.processSelection(*disk).ok);
        render.prepare(*disk, "flags.d64", Charset::upperGraphics);
    }

    std::unique_ptr<platter::Disk> disk;
    Probe render;
};

TEST_F(RenderPrepare, ScratchedEntriesOnlyWithAlmostAllAndEmptySlotsNever) {
    prepare("*");
    const std::vector<std::uint64_t> shown = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15};
    EXPECT_EQ(render.keptIndices(), shown);
    render.settings.almostAll = true;
    prepare("*");
    EXPECT_EQ(render.keptIndices().size(), 16u);  // slot 11 too; the empty slots 16-23 never
}

TEST_F(RenderPrepare, WidthsComeFromTheKeptEntries) {
    render.fields = {kFieldBytes};
    prepare("*");
    EXPECT_EQ(render.fieldWidth(kFieldBlocks), 3u);  // 999
    EXPECT_EQ(render.fieldWidth(kFieldBytes), 4u);   // 1538
    EXPECT_EQ(render.fieldWidth(kFieldIndex), 2u);   // 15
    EXPECT_EQ(render.fieldWidth(kFieldTrackWidth), 1u);
    EXPECT_EQ(render.fieldWidth(kFieldSectorWidth), 2u);
    EXPECT_EQ(render.fieldWidth(kFieldAddr), 4u);
    EXPECT_EQ(render.fieldWidth(kFieldType), 3u);
    EXPECT_EQ(render.fieldWidth(kFieldSplat), 1u);  // OPEN
    EXPECT_EQ(render.fieldWidth(kFieldLock), 1u);   // LOCKED
    EXPECT_EQ(render.fieldWidth(kFieldFile), 0u);
}

TEST_F(RenderPrepare, NothingKeptLeavesTheMinimumWidths) {
    render.settings.zeroPadTs = true;
    prepare("#4");
    EXPECT_EQ(render.fieldWidth(kFieldTrackWidth), 2u);
    prepare("ZZZ*");
    EXPECT_TRUE(render.keptIndices().empty());
    EXPECT_EQ(render.fieldWidth(kFieldBlocks), 1u);
    EXPECT_EQ(render.fieldWidth(kFieldSectorWidth), 2u);
    EXPECT_EQ(render.fieldWidth(kFieldAddr), 0u);
    EXPECT_EQ(render.fieldWidth(kFieldSplat), 0u);
}

TEST_F(RenderPrepare, NegatedSelectorsExcludeWhateverTheOrder) {
    prepare("*;^L*");
    const std::vector<std::uint64_t> first = render.keptIndices();
    prepare("^L*;*");
    EXPECT_EQ(render.keptIndices(), first);
    EXPECT_EQ(first.size(), 14u);
    EXPECT_EQ(first.at(1), 2u);  // LOCKED (1) is gone
}

TEST(FieldNames, NamesMapToTheirIds) {
    EXPECT_EQ(fieldIdByName("ffid"), kFieldFfid);
    EXPECT_EQ(fieldIdByName("^ffid"), kFieldFfid);  // the hidden spelling
    EXPECT_FALSE(fieldIdByName("nonsense").has_value());
    for (const field_name_t& field : g_field_names) EXPECT_EQ(&field - g_field_names.data(), field.id);
}

// A kind without a block map has no blocks-free line.
class NoBlockMap : public platter::Disk41 {
public:
    bool showsBlocksFree() const override { return false; }
};

TEST(RenderFooter, OnlyForKindsThatShowBlocksFree) {
    RenderCanonical render;
    render.selection.parseSelection("*");
    const auto listing = [&](platter::Disk& disk) {
        disk.setIncludeEmpty(true);
        render.selection.processSelection(disk);
        render.prepare(disk, "x", Charset::upperGraphics);
        ::testing::internal::CaptureStdout();
        render.renderListing(disk, "");
        return ::testing::internal::GetCapturedStdout();
    };
    test_support::TestImage image = test_support::TestImage::blank();
    EXPECT_NE(listing(*image.disk).find("BLOCKS FREE."), std::string::npos);
    NoBlockMap noMap;
    platter::DataProvider provider;
    noMap.setDataProvider(&provider);
    noMap.open("x.d64", false, true);
    EXPECT_EQ(listing(noMap).find("BLOCKS FREE."), std::string::npos);
}

}  // namespace
}  // namespace app
