// Images written and edited here, read back by independent readers: cbmconvert extracts every
// file and complains about blocks the BAM does not cover, cc1541 lists the directory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/process.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/disk_reads.hpp"

using test_support::saved;

namespace platter {
namespace {

using test_support::bytes_t;
using test_support::patternBytes;

class PeerReaders : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test_support::haveProgram("/usr/bin/cbmconvert") || !test_support::haveProgram("/usr/bin/cc1541"))
            GTEST_SKIP() << "cbmconvert or cc1541 missing";
    }

    bool import(Disk& disk, const std::string& name, const bytes_t& data, format_id row = format_id::prg,
                std::uint8_t recordLength = 0) {
        return disk.importFile(test_support::cbmName(name, false), -1, data, recordLength, formatById(row));
    }

    // Saves the image and extracts it with cbmconvert into out/; its messages.
    std::string extract(Disk& disk) {
        EXPECT_TRUE(saved(disk.saveAs(dir_.file("image.d64"))));
        std::filesystem::create_directory(dir_.file("out"));
        const auto [output, status] =
            test_support::runCommand("cd " + dir_.file("out").string() + " && cbmconvert -v1 -N -d ../image.d64 2>&1");
        EXPECT_EQ(status, 0) << output;
        return output;
    }

    bytes_t extracted(const std::string& name) { return test_support::readBytes(dir_.file("out/" + name)); }

    // cc1541's listing of the saved image.
    std::string listing() {
        return test_support::runCommand("cc1541 " + dir_.file("image.d64").string() + " 2>&1").first;
    }

    test_support::ScratchDir dir_;
};

TEST_F(PeerReaders, ImportedFilesExtractByteIdentically) {
    test_support::TestImage image = test_support::TestImage::blank();
    Disk& disk = *image.disk;
    const std::size_t sizes[] = {0, 1, 254, 255, 509};
    for (const std::size_t size : sizes) ASSERT_TRUE(import(disk, "S" + std::to_string(size), patternBytes(size, 1)));
    ASSERT_TRUE(import(disk, "RECORDS", patternBytes(121 * 254, 2), format_id::rel, 64));
    const std::string output = extract(disk);
    for (const std::size_t size : sizes)
        EXPECT_EQ(extracted("s" + std::to_string(size) + ".prg"), patternBytes(size, 1)) << size;
    EXPECT_EQ(extracted("records.l40"), patternBytes(121 * 254, 2));  // l + the record length in hex
    EXPECT_EQ(output.find("side sector"), std::string::npos) << output;
    EXPECT_EQ(output.find("nallocated"), std::string::npos) << output;
}

TEST_F(PeerReaders, AFileFillingTheDiskExtracts) {
    test_support::TestImage image = test_support::TestImage::blank();
    ASSERT_TRUE(import(*image.disk, "FULL", patternBytes(664 * 254, 3)));
    EXPECT_EQ(image.disk->blocksFree(), 0u);
    const std::string output = extract(*image.disk);
    EXPECT_EQ(extracted("full.prg"), patternBytes(664 * 254, 3));
    EXPECT_EQ(output.find("nallocated"), std::string::npos) << output;
}

TEST_F(PeerReaders, EditedDirectoriesStayConsistent) {
    test_support::TestImage image = test_support::TestImage::blank();
    Disk& disk = *image.disk;
    // Three directory blocks, the first full, then edits that move, drop and reorder entries.
    for (const char* name : {"K", "D", "Q", "A", "M", "Z", "B", "X", "C", "Y", "E", "W", "F", "V", "G", "U", "H"})
        ASSERT_TRUE(import(disk, name, patternBytes(300, static_cast<unsigned>(name[0]))));
    disk.deleteFile(2, true, true);  // Q
    ASSERT_TRUE(disk.moveEntries(0, 1, 12));
    ASSERT_TRUE(disk.sortDirectory(true, false));
    disk.deleteFile(5, true, false);  // F
    ASSERT_TRUE(disk.compactDirectory());
    ASSERT_TRUE(import(disk, "N", patternBytes(600, 9)));
    const std::string output = extract(disk);
    EXPECT_EQ(output.find("nallocated"), std::string::npos) << output;
    const std::string expected = "ABCDEGHKMUVWXYZN";
    for (const char name : expected) {
        const std::string file(1, static_cast<char>(name + 32));
        EXPECT_EQ(extracted(file + ".prg"),
                  patternBytes(name == 'N' ? 600 : 300, name == 'N' ? 9u : static_cast<unsigned>(name)))
            << name;
    }
    // cc1541 lists them once each, in this order.
    const std::string listed = listing();
    std::size_t at = 0;
    for (const char name : expected) {
        const std::string quoted = "\"" + std::string(1, static_cast<char>(name + 32)) + "\"";
        at = listed.find(quoted, at);
        ASSERT_NE(at, std::string::npos) << name << "\n" << listed;
        EXPECT_EQ(listed.find(quoted, at + 1), std::string::npos) << name;
    }
}

}  // namespace
}  // namespace platter
