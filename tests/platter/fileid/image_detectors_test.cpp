#include "platter/fileid/image_detectors.hpp"

#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platter/fileid/describe.hpp"
#include "platter/fileid/identify.hpp"
#include "platter/fileid/metadata_keys.hpp"
#include "platter/fileid/type_ids.hpp"
#include "tests/platter/fileid/result_lists.hpp"
#include "tests/support/bytes.hpp"

namespace platter::fileid {
namespace {

using test_support::Bytes;
using test_support::bytes;
using test_support::put;
using test_support::text;

using fileid_test::Keys;
using fileid_test::keysOf;

// `image` with the text of a CMD FD system header where each CMD FD kind keeps it (drive
// track 81 sector 5 of 40, 80 or 160 sectors) that it reaches.
Bytes cmdHeadered(Bytes image) {
    for (const std::uint64_t sectors : {40u, 80u, 160u}) {
        const std::uint64_t at = (80 * sectors + 5) * 256 + 240;
        if (at + 16 <= image.size()) put(image, at, "CMD FD SERIES   ");
    }
    return image;
}

struct exact_size_t {
    detector_t detector;
    std::uint64_t size;
    std::uint32_t type;
};

TEST(ExactSizeImages, EachSizeGivesItsTypeAndNeighboursNothing) {
    const exact_size_t sizes[] = {
        {detectD64, 174848, type_id::d64_35}, {detectD64, 175531, type_id::d64_35_e},
        {detectD64, 196608, type_id::d64_40}, {detectD64, 197376, type_id::d64_40_e},
        {detectD64, 205312, type_id::d64_42}, {detectD64, 206114, type_id::d64_42_e},
        {detectD71, 349696, type_id::d71},    {detectD71, 351062, type_id::d71_e},
        {detectD81, 819200, type_id::d81},    {detectD81, 822400, type_id::d81_e},
        {detectD80, 533248, type_id::d80},    {detectD80, 535331, type_id::d80_e},
        {detectD82, 1066496, type_id::d82},   {detectD82, 1070662, type_id::d82_e},
        {detectD1M, 829440, type_id::d1m},    {detectD1M, 832680, type_id::d1m_e},
        {detectD2M, 1658880, type_id::d2m},   {detectD2M, 1665360, type_id::d2m_e},
        {detectD4M, 3317760, type_id::d4m},   {detectD4M, 3330720, type_id::d4m_e},
    };
    for (const auto& entry : sizes) {
        EXPECT_EQ(entry.detector(cmdHeadered(bytes(entry.size))).type, entry.type) << entry.size;
        EXPECT_EQ(entry.detector(cmdHeadered(bytes(entry.size - 1))).type, type_id::unknown) << entry.size;
        EXPECT_EQ(entry.detector(cmdHeadered(bytes(entry.size + 1))).type, type_id::unknown) << entry.size;
        // Through the walk too: images are final and stand alone.
        const auto results = identify(cmdHeadered(bytes(entry.size)));
        ASSERT_EQ(results.size(), 1u);
        EXPECT_EQ(results.front().type, entry.type);
    }
}

// A CMD FD image is its size and its system header: a D2M or D4M cut to the size of the next
// smaller kind has none where that kind keeps it, and is none of them.
TEST(ExactSizeImages, CmdFloppiesNeedTheirSystemHeader) {
    EXPECT_EQ(detectD1M(bytes(829440)).type, type_id::unknown);
    EXPECT_EQ(detectD1M(cmdHeadered(bytes(829440))).type, type_id::d1m);
    Bytes d4m = bytes(3317760);
    put(d4m, (80 * 160 + 5) * 256 + 240, "CMD FD SERIES   ");
    ASSERT_EQ(detectD4M(d4m).type, type_id::d4m);
    d4m.resize(1658880);
    EXPECT_EQ(detectD2M(d4m).type, type_id::unknown);
    EXPECT_EQ(identify(d4m).front().type, type_id::unknown);
}

TEST(ExactSizeImages, OtherKindsHaveNoImageType) {
    // D8B and DNP images are opened by their extension: their contents alone say nothing.
    EXPECT_EQ(identify(bytes(1392640)).front().type, type_id::unknown);
    EXPECT_EQ(identify(bytes(256 * 256 * 4)).front().type, type_id::unknown);
}

TEST(D64Metadata, BootSectorGeosAndExtendedBamLayouts) {
    auto image = bytes(174848);
    EXPECT_TRUE(detectD64(image).metadata.empty());
    put(image, 0, "CBM");
    put(image, 0x165AD, "GEOS format V1.0");
    EXPECT_EQ(keysOf(detectD64(image)), (Keys{metadata_key::c128_boot, metadata_key::geos}));

    auto forty = bytes(196608);
    put(forty, 0x16500 + 0xC0, {17, 0xFF, 0xFF, 0x01});
    EXPECT_EQ(keysOf(detectD64(forty)), (Keys{metadata_key::speed_dos}));
    put(forty, 0x16500 + 0xAC, {17, 0xFF, 0xFF, 0x01});
    put(forty, 0x16500 + 0x90, {17, 0xFF, 0xFF, 0x01});
    EXPECT_EQ(keysOf(detectD64(forty)),
              (Keys{metadata_key::speed_dos, metadata_key::dolphin_dos, metadata_key::prologic_dos}));
    put(forty, 0x16500 + 0x94, {3, 0x03, 0x00, 0x00});  // one bad PrologicDOS entry
    EXPECT_EQ(keysOf(detectD64(forty)), (Keys{metadata_key::speed_dos, metadata_key::dolphin_dos}));
}

TEST(D64Metadata, OtherImagesOnlyReportTheirOwnKeys) {
    auto d71 = bytes(351062);
    put(d71, 0, "CBM");
    put(d71, 0x16500 + 0xC0, {17, 0xFF, 0xFF, 0x01});
    auto d71Traits = detectD71(d71);
    EXPECT_EQ(d71Traits.type, type_id::d71_e);
    EXPECT_EQ(keysOf(d71Traits), (Keys{metadata_key::c128_boot}));

    auto d81 = bytes(819200);
    put(d81, 0, "CBM");
    put(d81, 0x618AD, "GEOS format V1.0");
    EXPECT_EQ(keysOf(detectD81(d81)), (Keys{metadata_key::geos}));
    auto d80 = bytes(533248);
    put(d80, 0, "CBM");
    EXPECT_TRUE(detectD80(d80).metadata.empty());
}

TEST(TruncatedD64, NeedsAConsistentMapForTracks1To35) {
    auto image = bytes(100000);
    EXPECT_EQ(detectD64Truncated(image).type, type_id::unknown);
    for (std::size_t track = 0; track < 35; ++track) put(image, 0x16504 + track * 4, {21, 0xFF, 0xFF, 0x1F});
    put(image, 0, "CBM");
    put(image, 0x165AD, "GEOS format V1.0");
    put(image, 0x165C0, {17, 0xFF, 0xFF, 0x01});
    const auto traits = detectD64Truncated(image);
    EXPECT_EQ(traits.type, type_id::d64_truncated);
    EXPECT_EQ(keysOf(traits), (Keys{metadata_key::speed_dos}));
    put(image, 0x16504 + 20 * 4, {3, 0x03, 0x00, 0x00});
    EXPECT_EQ(detectD64Truncated(image).type, type_id::unknown);
    // Outside the walk a buffer that ends inside the header block is refused.
    EXPECT_EQ(detectD64Truncated(bytes(0x16500 + 100)).type, type_id::unknown);
}

TEST(SignatureImages, RawTrackImages) {
    auto g64 = bytes(684);
    put(g64, 0, "GCR-1541");
    EXPECT_EQ(describe(g64), "g64");
    g64[0] = 'g';
    EXPECT_NE(identify(g64).front().type, type_id::g64);

    auto nib = bytes(256);
    put(nib, 0, "MNIB-1541-RAW");
    const std::pair<std::uint8_t, std::uint32_t> versions[] = {
        {1, type_id::nib_v1}, {2, type_id::nib_v2}, {3, type_id::nib_v3}, {4, type_id::nib}, {0, type_id::nib}};
    for (const auto& [version, type] : versions) {
        nib[13] = version;
        EXPECT_EQ(identify(nib).front().type, type) << int(version);
    }
    EXPECT_EQ(describe(nib), "nib");
    nib.pop_back();  // below the record's minimum the walk never asks
    EXPECT_NE(identify(nib).front().type, type_id::nib);

    EXPECT_EQ(detectNbz(text("xMNI")).type, type_id::unknown);
    EXPECT_EQ(detectNbz(text("xMNIB")).type, type_id::nbz);
    EXPECT_EQ(describe(text("\x01MNIB and more")), "nbz");
}

TEST(SignatureImages, TapesAndWrappers) {
    EXPECT_EQ(describe(text("C64S tape image \x01\x02")), "t64 {classic}");
    EXPECT_EQ(describe(text("C64S tape file\r\n")), "t64 {unknown1}");
    EXPECT_EQ(describe(text("C64 tape image f")), "t64 {unknown2}");
    EXPECT_EQ(detectT64(text("c64s tape image ")).type, type_id::unknown);
    EXPECT_EQ(detectT64(text("C64S tape image")).type, type_id::unknown);

    EXPECT_EQ(detectPC64(text("C64File")).type, type_id::unknown);
    EXPECT_EQ(detectPC64(Bytes{'C', '6', '4', 'F', 'i', 'l', 'e', 0}).type, type_id::pc64);
    EXPECT_EQ(detectPC64(Bytes{'C', '6', '4', 'F', 'i', 'l', 'e', ' '}).type, type_id::unknown);

    auto dreamload = text("?DREAMLOAD FILE A");
    EXPECT_EQ(detectDreamload(dreamload).type, type_id::dreamload);
    EXPECT_EQ(describe(dreamload), "Dreamload File");
    EXPECT_EQ(detectDreamload(text("DREAMLOAD FILE A")).type, type_id::unknown);
}

// Images written by real tools: cc1541, cbmconvert and acme, built at test time.
class RealImages : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = std::make_unique<test_support::ScratchDir>();
        const std::string command =
            "sh " + test_support::fixturePath("fileid/make_images.sh").string() + " " + scratch_->path().string();
        built_ = test_support::runCommand(command).second == 0;
    }

    static void TearDownTestSuite() { scratch_.reset(); }

    void SetUp() override {
        if (!built_) GTEST_SKIP() << "cc1541, cbmconvert or acme missing";
    }

    static Bytes load(const char* name) { return test_support::readBytes(scratch_->file(name)); }

    static inline std::unique_ptr<test_support::ScratchDir> scratch_;
    static inline bool built_ = false;
};

TEST_F(RealImages, DiskImagesOfEveryKind) {
    EXPECT_EQ(describe(load("t.d64")), "d64/35");
    EXPECT_EQ(describe(load("c.d64")), "d64/35");
    EXPECT_EQ(describe(load("s.d64")), "d64/40 {SpeedDOS}");
    EXPECT_EQ(describe(load("dd.d64")), "d64/40 {DolphinDOS}");
    EXPECT_EQ(describe(load("te.d64")), "d64/35/e {c128 boot}");
    EXPECT_EQ(describe(load("geos.d64")), "d64/35 {GEOS}");
    EXPECT_EQ(describe(load("tr.d64")), "d64/truncated");
    EXPECT_EQ(describe(load("t.d71")), "d71");
    EXPECT_EQ(describe(load("c.d71")), "d71");
    EXPECT_EQ(describe(load("t.d81")), "d81");
    EXPECT_EQ(describe(load("c.d81")), "d81");
    EXPECT_EQ(describe(load("t.g64")), "g64");
    EXPECT_EQ(describe(load("hello.p00")), "PC64");
}

TEST_F(RealImages, CutOffImagesAreReadSafely) {
    for (const char* name : {"t.d64", "s.d64", "t.d71", "t.d81", "t.g64", "hello.p00"}) {
        const Bytes whole = load(name);
        ASSERT_FALSE(whole.empty()) << name;
        for (std::size_t size :
             {std::size_t{0}, std::size_t{7}, std::size_t{300}, whole.size() / 2, whole.size() - 1}) {
            if (size > whole.size()) continue;
            EXPECT_FALSE(identify(Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size))).empty());
        }
    }
    // A D64 cut inside its directory track is no image at all.
    const Bytes d64 = load("t.d64");
    EXPECT_NE(identify(Bytes(d64.begin(), d64.begin() + 0x16580)).front().type, type_id::d64_truncated);
}

}  // namespace
}  // namespace platter::fileid
