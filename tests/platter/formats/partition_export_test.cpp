#include <gtest/gtest.h>

#include <filesystem>

#include "platter/core/disk.hpp"
#include "platter/formats/disk81.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/image_of.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

namespace fs = std::filesystem;

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

}  // namespace
}  // namespace platter
