// Every fixture that opens as a container, through the one damage report: whether it may be
// written back is answered by the report alone, whatever the kind's own save does.

#include <gtest/gtest.h>

#include <filesystem>

#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/open_argument.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

// Kinds whose image is never written as such (read only, or written as another kind).
bool savesItself(const Disk& disk) {
    const format_id id = disk.formatId();
    return id != format_id::ide64 && id != format_id::g64 && id != format_id::nib && id != format_id::nbz;
}

TEST(DamageFixtures, AnImageIsSavedExactlyWhenItsReportAllowsIt) {
    const test_support::ScratchDir scratch;
    std::size_t opened = 0;
    std::size_t damaged = 0;
    for (const auto& item : std::filesystem::recursive_directory_iterator(test_support::fixturePath(""))) {
        if (!item.is_regular_file()) continue;
        const opened_container_t container = openContainerArgument(item.path().string());
        if (!container.disk || !savesItself(*container.disk)) continue;
        ++opened;
        Disk& disk = *container.disk;
        const disk_damage_t damage = disk.damage();
        if (!damage.whole()) ++damaged;
        const container_format_t* row = formatById(disk.formatId());
        ASSERT_NE(row, nullptr);
        const std::filesystem::path copy = scratch.file("copy" + std::string(row->extension));
        const std::optional<forge::save_failure_t> failure = disk.saveAs(copy);
        EXPECT_EQ(!failure, damage.maySave()) << item.path() << (failure ? ": " + failure->text : "");
        EXPECT_EQ(std::filesystem::exists(copy), damage.maySave()) << item.path();
        std::filesystem::remove(copy);
    }
    // The fixtures hold whole images and damaged ones of many kinds.
    EXPECT_GT(opened, 40u);
    EXPECT_GT(damaged, 5u);
}

}  // namespace
}  // namespace platter
