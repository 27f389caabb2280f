#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/core/library_options.hpp"
#include "platter/petscii/petscii_writer.hpp"
#include "platter/picture/paint_decode.hpp"
#include "platter/picture/paint_type_ids.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/png_decoder.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/without_root.hpp"

namespace platter {
namespace {

namespace fs = std::filesystem;
using test_support::bytes_t;
using test_support::ScratchDir;
using test_support::TestImage;

// Directory slots of the image tests/data/export/make_image.sh writes.
enum slot : std::uint64_t { kOne, kText, kLocked, kSlashes, kAb, kAbAgain, kUsr, kGone, kKoala, kFont, kSixteen };

// The image make_image.sh has cc1541 write, made once.
const std::optional<bytes_t>& exportImageBytes() {
    static const std::optional<bytes_t> bytes = test_support::imageFromScript("export/make_image.sh");
    return bytes;
}

#define REQUIRE_EXPORT_IMAGE() \
    if (!exportImageBytes()) GTEST_SKIP() << "no cc1541 to write the image with"

TestImage exportImage() { return TestImage::fromBytes(*exportImageBytes()); }

std::string text(const bytes_t& bytes) { return {bytes.begin(), bytes.end()}; }

// Every regular file below the directory, by its path relative to it.
std::map<std::string, bytes_t> filesBelow(const fs::path& root) {
    std::map<std::string, bytes_t> files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (item.is_regular_file()) files[fs::relative(item.path(), root).string()] = test_support::readBytes(item);
    }
    return files;
}

std::vector<std::string> namesOf(const std::map<std::string, bytes_t>& files) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files) names.push_back(name);
    return names;
}

// The files exportFiles writes for the image.
std::map<std::string, bytes_t> exportedFiles(const export_options_t& options) {
    TestImage image = exportImage();
    const ScratchDir dir;
    EXPECT_TRUE(image.disk->exportFiles(dir.file("out"), options)) << image.disk->lastError();
    return filesBelow(dir.file("out"));
}

// What cbmconvert writes for the image with one of its output options, or nothing without it.
std::optional<std::map<std::string, bytes_t>> peerExport(const char* option) {
    if (!test_support::haveProgram("/usr/bin/cbmconvert")) return std::nullopt;
    const ScratchDir dir;
    test_support::writeBytes(dir.file("e.d64"), *exportImageBytes());
    fs::create_directory(dir.file("out"));
    test_support::runCommand("cd " + dir.file("out").string() + " && cbmconvert -v0 " + option + " -d ../e.d64");
    return filesBelow(dir.file("out"));
}

TEST(ExportFiles, NativeFilesAreTheDataCbmconvertExtracts) {
    REQUIRE_EXPORT_IMAGE();
    const auto files = exportedFiles({});
    // '/', ':' and ',' leave the name, the second "ab" PRG gets a suffix, the DEL entry without data
    // writes nothing.
    EXPECT_EQ(namesOf(files),
              (std::vector<std::string>{"ab.prg", "ab.seq", "ab~2.prg", "font.prg", "koala.prg", "locked.prg",
                                        "one.prg", "sixteen chars!!!.prg", "usr.usr", "xyz.prg"}));
    const auto peer = peerExport("-N");
    if (!peer) GTEST_SKIP() << "no cbmconvert to compare with";
    // cbmconvert names its duplicates "~0" and turns '/' into '.'.
    const std::map<std::string, std::string> peerNames{
        {"ab.seq", "a,b.seq"}, {"ab~2.prg", "ab~0.prg"}, {"xyz.prg", "x.y:z.prg"}};
    for (const auto& [name, bytes] : files) {
        const auto renamed = peerNames.find(name);
        const std::string peerName = renamed == peerNames.end() ? name : renamed->second;
        ASSERT_TRUE(peer->count(peerName)) << peerName;
        EXPECT_EQ(bytes, peer->at(peerName)) << name;
    }
}

TEST(ExportFiles, P00HeadersAreCbmconvertsWithTheNamePaddingZeroed) {
    REQUIRE_EXPORT_IMAGE();
    const auto files = exportedFiles({export_mode::p00});
    // USR and DEL entries have no P00 form.
    EXPECT_EQ(namesOf(files), (std::vector<std::string>{"ab.p00", "ab.s00", "ab~2.p00", "font.p00", "koala.p00",
                                                        "locked.p00", "one.p00", "sixteen chars!!!.p00", "xyz.p00"}));
    const bytes_t& one = files.at("one.p00");
    const bytes_t header{'C', '6', '4', 'F', 'i', 'l', 'e', 0, 'O', 'N', 'E', 0, 0,
                         0,   0,   0,   0,   0,   0,   0,   0, 0,   0,   0,   0, 0};
    ASSERT_GE(one.size(), header.size());
    EXPECT_EQ(bytes_t(one.begin(), one.begin() + 26), header);

    const auto peer = peerExport("-P");
    if (!peer) GTEST_SKIP() << "no cbmconvert to compare with";
    // cbmconvert keeps the name's 0xA0 padding (bytes 8-23) where the P00 format has zeros.
    std::vector<bytes_t> expected;
    for (auto [name, bytes] : *peer) {
        if (name.ends_with(".u00") || name.ends_with(".d00")) continue;
        std::replace(bytes.begin() + 8, bytes.begin() + 24, std::uint8_t{0xA0}, std::uint8_t{0});
        expected.push_back(bytes);
    }
    std::vector<bytes_t> written;
    for (const auto& [name, bytes] : files) written.push_back(bytes);
    std::sort(expected.begin(), expected.end());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, expected);
}

TEST(ExportFiles, P00LevelAndRelativeFiles) {
    TestImage image = TestImage::blank();
    const auto name = test_support::cbmName("RECORDS", false);
    const bytes_t records(300, 7);
    ASSERT_TRUE(image.disk->importFile(name, -1, records, 40, formatById(format_id::rel)));
    ASSERT_TRUE(image.disk->importFile(test_support::cbmName("PROG", false), -1, bytes_t{1, 8, 0}, 0, nullptr));
    const ScratchDir dir;
    ASSERT_TRUE(image.disk->exportFiles(dir.file("out"), {export_mode::p00}));
    const auto files = filesBelow(dir.file("out"));
    ASSERT_EQ(namesOf(files), (std::vector<std::string>{"prog.p00", "records.r00"}));
    const bytes_t& rel = files.at("records.r00");
    ASSERT_EQ(rel.size(), 26u + records.size());
    EXPECT_EQ(rel[25], 40);
    EXPECT_TRUE(std::equal(records.begin(), records.end(), rel.begin() + 26));

    // Level 1 exports SEQ files only.
    library_options_t options = libraryOptions();
    const library_options_t saved = options;
    options.p00ExportLevel = 1;
    setLibraryOptions(options);
    EXPECT_TRUE(image.disk->exportFiles(dir.file("level1"), {export_mode::p00}));
    setLibraryOptions(saved);
    EXPECT_TRUE(filesBelow(dir.file("level1")).empty());
}

TEST(ExportFiles, NamesThatMeanDirectoriesStayInside) {
    TestImage image = TestImage::blank();
    for (const char* name : {".", "..", "", "../up", "/"}) {
        ASSERT_TRUE(image.disk->importFile(test_support::cbmName(name, false), -1, bytes_t{1, 8, 0}, 0, nullptr));
    }
    const ScratchDir dir;
    ASSERT_TRUE(image.disk->exportFiles(dir.file("out"), {}));
    EXPECT_EQ(namesOf(filesBelow(dir.file("out"))),
              (std::vector<std::string>{"..UP.prg", "_...prg", "_..prg", "_.prg", "_~2.prg"}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
}

TEST(ExportFiles, TextModeConvertsSeqFilesOnly) {
    REQUIRE_EXPORT_IMAGE();
    const auto files = exportedFiles({export_mode::text});
    ASSERT_EQ(namesOf(files), std::vector<std::string>{"ab.txt"});
    // Control codes become the characters of their keys (white: 'e', RVS ON: 'r'), bytes above
    // 0x7F stay as they are.
    EXPECT_EQ(text(files.at("ab.txt")), "ehello rworld\x92\r\n\r\n{a&b<c>}\\\r\n");
}

TEST(ExportFiles, NothingOnTheHostIsWrittenOverOrFollowed) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const ScratchDir dir;
    const fs::path out = dir.file("out");
    test_support::writeText(dir.file("outside"), "keep");
    fs::create_directory(out);
    test_support::writeText(out / "one.prg", "old");
    fs::create_symlink("../outside", out / "locked.prg");
    fs::create_symlink("nowhere", out / "usr.usr");
    ASSERT_TRUE(image.disk->exportFiles(out, {}));
    EXPECT_EQ(test_support::readText(out / "one.prg"), "old");
    EXPECT_EQ(test_support::readText(dir.file("outside")), "keep");
    EXPECT_TRUE(fs::is_symlink(out / "locked.prg"));
    EXPECT_TRUE(fs::is_symlink(out / "usr.usr"));
    EXPECT_EQ(test_support::readBytes(out / "one~2.prg").size(), 14u);
    EXPECT_EQ(test_support::readBytes(out / "locked~2.prg").size(), 509u);
    EXPECT_TRUE(fs::exists(out / "usr~2.usr"));
    // A second export into the same directory adds files beside the first ones.
    ASSERT_TRUE(image.disk->exportFiles(out, {}));
    EXPECT_EQ(test_support::readText(out / "one.prg"), "old");
    EXPECT_TRUE(fs::exists(out / "one~3.prg"));
}

TEST(ExportFiles, HeaderTrackEntriesAreLeftOut) {
    REQUIRE_EXPORT_IMAGE();
    bytes_t bytes = *exportImageBytes();
    // The USR file's entry (slot 6 of the first directory block) now starts on track 18.
    bytes[test_support::d64Offset(18, 1) + kUsr * 32 + 3] = 18;
    TestImage image = TestImage::fromBytes(bytes);
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(kUsr, false, entry));
    EXPECT_TRUE(image.disk->isHeaderTrackEntry(entry));
    ASSERT_TRUE(image.disk->getEntry(kOne, false, entry));
    EXPECT_FALSE(image.disk->isHeaderTrackEntry(entry));
    const ScratchDir dir;
    ASSERT_TRUE(image.disk->exportFiles(dir.file("out"), {}));
    EXPECT_FALSE(fs::exists(dir.file("out/usr.usr")));
}

TEST(ExportFiles, EachDirectoryGetsAHostDirectoryOnce) {
    const auto disk = test_support::openDirectoryD64(test_support::readFixture("selection/nest.d64"));
    ASSERT_TRUE(disk);
    const ScratchDir dir;
    ASSERT_TRUE(disk->exportFiles(dir.file("out"), {})) << disk->lastError();
    EXPECT_EQ(disk->directoryDepth(), 0u);
    const auto files = filesBelow(dir.file("out"));
    std::string leaf = "deep";
    for (int level = 2; level <= 17; ++level) leaf += "/d";
    // SELF (the directory itself) and UP (back to the root) are not exported again.
    EXPECT_EQ(namesOf(files), (std::vector<std::string>{leaf + "/leaf.prg", "file.prg", "sub/inner.prg"}));
    EXPECT_EQ(files.at("file.prg"), (bytes_t{0x01, 0x08, 0, 0}));
}

TEST(ExportFiles, ArchivesAsImagesSaveTheImagesTheirEntriesOpenAs) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const bytes_t blank = TestImage::blank().bytes();
    // Stands in for the open library's expansion: KOALA opens as a blank D64, FONT does not open.
    const auto named = [](const dir_entry_t& entry, const char* name) {
        return test_support::nameOf(entry) == test_support::cbmName(name, false);
    };
    const entry_image_opener_t opener{
        [&](Disk&, const dir_entry_t& entry) { return named(entry, "KOALA") || named(entry, "FONT"); },
        [&](Disk&, const dir_entry_t& entry) {
            return named(entry, "KOALA") ? test_support::openD64(blank) : std::unique_ptr<Disk>();
        }};
    export_options_t options;
    options.archivesAsImages = &opener;
    const ScratchDir dir;
    EXPECT_FALSE(image.disk->exportFiles(dir.file("out"), options));
    EXPECT_EQ(image.disk->lastError(), kErrExtractRead);
    const auto files = filesBelow(dir.file("out"));
    ASSERT_EQ(namesOf(files), std::vector<std::string>{"koala.d64"});
    EXPECT_EQ(files.at("koala.d64"), blank);
}

TEST(ExtractEntry, EmptyDataWritesNothingAndSucceeds) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const ScratchDir dir;
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(kGone, false, entry));
    EXPECT_TRUE(image.disk->extractEntryAs(kGone, dir.file("gone.del"), entry.name(), PetsciiWriter()));
    EXPECT_FALSE(fs::exists(dir.file("gone.del")));
    EXPECT_FALSE(image.disk->extractEntryAs(40, dir.file("none.prg"), entry.name(), PetsciiWriter()));
    EXPECT_EQ(image.disk->lastError(), kErrExtractRead);
}

TEST(ExtractEntry, FailuresWriteNothingAndSayWhy) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const ScratchDir dir;
    const PetsciiWriter writer;
    dir_entry_t entry;
    ASSERT_TRUE(image.disk->getEntry(kOne, false, entry));
    const bytes_t data{1, 2, 3};

    // A directory that cannot be written in (a file stands where it should be).
    test_support::writeText(dir.file("file"), "old");
    EXPECT_FALSE(image.disk->writeHostFile(dir.file("file/one.prg"), data, entry, writer));
    EXPECT_EQ(image.disk->lastError(), kErrOpenFile);
    EXPECT_FALSE(image.disk->extractEntryAs(kOne, dir.file("file/one.prg"), entry.name(), writer));
    EXPECT_EQ(image.disk->lastError(), kErrExtractWrite);
    EXPECT_FALSE(image.disk->exportFiles(dir.file("file/out"), {}));
    EXPECT_EQ(image.disk->lastError(), kErrOpenFile);
    EXPECT_EQ(test_support::readText(dir.file("file")), "old");

    const fs::path readOnly = dir.file("ro");
    fs::create_directory(readOnly);
    chmod(dir.path().c_str(), 0755);
    chmod(readOnly.c_str(), 0555);
    EXPECT_TRUE(test_support::inChildWithoutRoot([&] {
        std::string failures;
        if (image.disk->writeHostFile(readOnly / "one.prg", data, entry, writer) ||
            image.disk->lastError() != kErrOpenFile) {
            failures += "writeHostFile; ";
        }
        if (image.disk->exportFiles(readOnly, {}) || image.disk->lastError() != kErrExtractWrite) {
            failures += "exportFiles; ";
        }
        return failures;
    }));
    EXPECT_TRUE(fs::is_empty(readOnly));
    chmod(readOnly.c_str(), 0755);

    // A full device refuses the bytes and stays the device it was.
    if (fs::is_character_file("/dev/full")) {
        EXPECT_FALSE(image.disk->writeHostFile("/dev/full", data, entry, writer));
        EXPECT_EQ(image.disk->lastError(), kErrStreamWrite);
        EXPECT_FALSE(image.disk->extractEntryAs(kOne, "/dev/full", entry.name(), writer));
        EXPECT_EQ(image.disk->lastError(), kErrExtractWrite);
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
}

// The host file extractEntryAs writes for a slot under a name.
std::optional<bytes_t> extracted(Disk& disk, std::uint64_t index, const fs::path& file,
                                 const PetsciiWriter& writer = PetsciiWriter()) {
    dir_entry_t entry;
    if (!disk.getEntry(index, false, entry) || !disk.extractEntryAs(index, file, entry.name(), writer)) {
        return std::nullopt;
    }
    return test_support::readBytes(file);
}

TEST(ExtractEntry, PicturesOfPaintFilesCharacterSetsAndText) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const ScratchDir dir;

    bytes_t koala;
    ASSERT_TRUE(image.disk->readFileByIndex(kKoala, false, koala));
    forge::raster_image_t expected;
    ASSERT_TRUE(decodePaintPicture(koala, paint_type::koala, expected));
    const auto png = extracted(*image.disk, kKoala, dir.file("koala.png"));
    ASSERT_TRUE(png);
    const test_support::decoded_png_t decoded = test_support::decodePng(*png);
    ASSERT_EQ(decoded.error, "");
    EXPECT_EQ(decoded.width, 320u);
    EXPECT_EQ(decoded.height, 200u);
    EXPECT_EQ(decoded.rgb, expected.pixels);
    const auto bmp = extracted(*image.disk, kKoala, dir.file("koala.BMP"));
    ASSERT_TRUE(bmp);
    ASSERT_EQ(bmp->size(), 54u + 320u * 3 * 200);
    EXPECT_EQ((*bmp)[0], 'B');
    // The bottom row comes first, blue, green, red.
    const std::size_t bottom = 199 * 320 * 3;
    EXPECT_EQ((*bmp)[54], expected.pixels[bottom + 2]);
    EXPECT_EQ((*bmp)[56], expected.pixels[bottom]);

    // A character set as a sheet of 16 x 16 glyphs.
    const auto sheet = extracted(*image.disk, kFont, dir.file("font.png"));
    ASSERT_TRUE(sheet);
    const test_support::decoded_png_t font = test_support::decodePng(*sheet);
    EXPECT_EQ(font.width, 128u);
    EXPECT_EQ(font.height, 128u);

    // Text in the writer's cells: 40 columns, a row per line.
    PetsciiWriter writer(nullptr, 8, 8, Charset::upperGraphics);
    const auto page = extracted(*image.disk, kText, dir.file("text.png"), writer);
    ASSERT_TRUE(page);
    const test_support::decoded_png_t textPicture = test_support::decodePng(*page);
    EXPECT_EQ(textPicture.width, 320u);
    EXPECT_EQ(textPicture.height, 32u);

    // A BASIC program has no picture: the export fails and leaves no file.
    EXPECT_FALSE(extracted(*image.disk, kOne, dir.file("one.png")));
    EXPECT_EQ(image.disk->lastError(), kErrExtractWrite);
    EXPECT_FALSE(fs::exists(dir.file("one.png")));
}

TEST(ExtractEntry, TextDocumentsOfPetsciiText) {
    REQUIRE_EXPORT_IMAGE();
    TestImage image = exportImage();
    const ScratchDir dir;

    // A title that would be markup is escaped; so is the text.
    const auto html = extracted(*image.disk, kText, dir.file("t&<x>.html"));
    ASSERT_TRUE(html);
    const std::string page = text(*html);
    EXPECT_NE(page.find("t&amp;&lt;x&gt;.html</title>"), std::string::npos) << page;
    EXPECT_NE(page.find(">┼A&amp;B&lt;C&gt;│£<"), std::string::npos) << page;
    EXPECT_EQ(page.find("<x>"), std::string::npos);
    EXPECT_TRUE(page.ends_with("</body></html>"));
    EXPECT_NE(page.find("Tomekeeper Library"), std::string::npos);
    std::size_t opened = 0;
    std::size_t closed = 0;
    for (std::size_t at = 0; (at = page.find("<div", at)) != std::string::npos; ++at) ++opened;
    for (std::size_t at = 0; (at = page.find("</div>", at)) != std::string::npos; ++at) ++closed;
    EXPECT_EQ(opened, closed);
    // The title, the text's block and its three lines, the empty one too.
    EXPECT_EQ(opened, 2u + 3u);

    const auto rtf = extracted(*image.disk, kText, dir.file("a{b}.rtf"));
    ASSERT_TRUE(rtf);
    const std::string document = text(*rtf);
    EXPECT_TRUE(document.starts_with("{\\rtf1"));
    EXPECT_NE(document.find("{\\*\\generator Tomekeeper Library;}"), std::string::npos);
    EXPECT_NE(document.find("a\\{b\\}.rtf\\par\r\nHELLO WORLD\\par\r\n\\par\r\n\\u9532?A&B<C>"), std::string::npos)
        << document;
    int depth = 0;
    for (std::size_t i = 0; i < document.size(); ++i) {
        if (document[i] == '\\') {
            ++i;
        } else if (document[i] == '{') {
            ++depth;
        } else if (document[i] == '}') {
            --depth;
        }
    }
    EXPECT_EQ(depth, 0);

    // Only PETSCII text is converted: a program under .txt is its data.
    bytes_t program;
    ASSERT_TRUE(image.disk->readFileByIndex(kOne, false, program));
    EXPECT_EQ(extracted(*image.disk, kOne, dir.file("one.txt")), program);
    // An extension no kind has writes the data too.
    EXPECT_EQ(extracted(*image.disk, kOne, dir.file("one.xyz")), program);
}

}  // namespace
}  // namespace platter
