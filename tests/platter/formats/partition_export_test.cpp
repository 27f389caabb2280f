#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "platter/core/disk.hpp"
#include "platter/formats/disk41.hpp"
#include "platter/formats/disk81.hpp"
#include "platter/formats/disk_cmd.hpp"
#include "platter/formats/disk_ide64.hpp"
#include "platter/formats/disk_np.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

namespace fs = std::filesystem;
using tree_t = std::map<std::string, test_support::bytes_t>;

// Every file below `root` by its relative path; directories as empty names ending in '/'.
tree_t treeOf(const fs::path& root) {
    tree_t tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(item.path(), root).string();
        if (item.is_directory()) {
            tree[relative + "/"] = {};
        } else {
            tree[relative] = test_support::readBytes(item.path());
        }
    }
    return tree;
}

// The fixture's export; one entry of base.d64 does not read back (6), the walk goes on.
template <class Image>
tree_t exportedTree(const std::string& fixture, const fs::path& target, std::uint32_t failure = kErrNone) {
    auto image = test_support::ImageOf<Image>::fromFixture(fixture);
    EXPECT_EQ(image.disk->exportFiles(target, {}), failure == kErrNone) << fixture;
    EXPECT_EQ(image.disk->lastError(), failure) << fixture;
    return treeOf(target);
}

TEST(PartitionExport, A1581PartitionBecomesAHostDirectory) {
    auto image = test_support::ImageOf<Disk81>::fromFixture("d81/p.d81");
    const test_support::ScratchDir dir;
    ASSERT_TRUE(image.disk->exportFiles(dir.file("out"), {})) << image.disk->lastError();
    EXPECT_EQ(image.disk->directoryDepth(), 0u);
    EXPECT_EQ(test_support::readBytes(dir.file("out/bfile.prg")), test_support::patternBytes(60000, 2));
    EXPECT_EQ(test_support::readBytes(dir.file("out/part/inner.prg")), test_support::patternBytes(300, 3));
    std::size_t files = 0;
    for (const auto& item : fs::recursive_directory_iterator(dir.file("out"))) files += item.is_regular_file();
    EXPECT_EQ(files, 3u);
}

// Each partition of a table exports as its standalone image does, into a directory of its own
// name; the system entry writes nothing.
TEST(PartitionExport, PartitionTableExportsEachPartitionIntoItsDirectory) {
    const test_support::ScratchDir dir;
    const tree_t host = exportedTree<DiskD1M>("cmd/k.d1m", dir.file("host"), kErrExtractRead);
    tree_t expected;
    for (const auto& [name, bytes] : exportedTree<Disk41>("d64/base.d64", dir.file("d64"), kErrExtractRead))
        expected["games/" + name] = bytes;
    for (const auto& [name, bytes] : exportedTree<DiskNP>("cmd/x.dnp", dir.file("dnp")))
        expected["nat/" + name] = bytes;
    expected["games/"] = expected["nat/"] = {};
    EXPECT_EQ(host, expected);

    // The read-only IDE64 image exports its CFS partition; the GEOS one opens no image.
    const tree_t hdd = exportedTree<DiskIDE64>("cmd/x.hdd", dir.file("hdd"));
    EXPECT_EQ(hdd.at("part1/hello.prg"), test_support::patternBytes(300, 1));
    EXPECT_EQ(hdd.at("part1/sub/inner.prg"), test_support::patternBytes(100, 5));
    EXPECT_EQ(hdd.size(), 6u) << "part1/, sub/ and four files (not the deleted one)";
}

}  // namespace
}  // namespace platter
