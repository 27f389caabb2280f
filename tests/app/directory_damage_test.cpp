// Damaged directories and subdirectories of D8B, DNP and D81 images, through the whole program:
// what a listing keeps and says, and what cat and ch refuse.

#include <gtest/gtest.h>

#include "tests/support/bytes.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/files.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/scratch_dir.hpp"

namespace app {
namespace {

// x.dnp: HELLO from 1/35, SUB (entry 1) with its header in 1/37; the root directory in 1/34.
constexpr std::size_t dnpOffset(std::size_t track, std::size_t sector) { return (track - 1) * 65536 + sector * 256; }
constexpr std::size_t kDnpRootEntries = dnpOffset(1, 34);

class DirectoryDamage : public ::testing::Test {
protected:
    std::string patched(const char* fixture, const std::string& name,
                        const std::function<void(test_support::Bytes&)>& patch) {
        test_support::Bytes bytes = test_support::readFixture(fixture);
        patch(bytes);
        return scratch_.write(name, bytes).string();
    }
    // `ls` warns once, exits 0 and lists what it read; `ch` leaves the image as it was.
    static void expectListedAndNotSaved(const std::string& path, const std::string& warning,
                                        const std::vector<std::string>& names) {
        const test_support::zt_run_t ls = test_support::runZt({"ls", path});
        EXPECT_EQ(ls.status, 0) << path;
        EXPECT_EQ(ls.errors.substr(ls.errors.find('\n') + 1), warning + "\n") << path;
        for (const std::string& name : names) EXPECT_NE(ls.out.find('"' + name + '"'), std::string::npos) << name;
        const test_support::Bytes before = test_support::readBytes(path);
        const test_support::zt_run_t ch = test_support::runZt({"ch", "-e", "23", path + ":%2.0"});
        EXPECT_EQ(ch.status, 1) << path;
        EXPECT_NE(ch.errors.find("the container is damaged; it is left unchanged"), std::string::npos) << ch.errors;
        EXPECT_EQ(test_support::readBytes(path), before) << path;
    }
    const test_support::ScratchDir scratch_;
};

TEST_F(DirectoryDamage, D8bDirectoryThatLeavesTheDiskSaysWhere) {
    constexpr std::size_t kDirectory = 4 * 256;  // 1/4
    for (const auto& [link, text] : {std::pair{std::uint8_t{41}, "41.0"}, std::pair{std::uint8_t{1}, "1.200"}}) {
        const std::string path = patched("d8b/files.d8b", "b.d8b", [&](test_support::Bytes& bytes) {
            test_support::put(bytes, kDirectory, {link, static_cast<std::uint8_t>(link == 1 ? 200 : 0)});
        });
        expectListedAndNotSaved(
            path, std::string("warning: 'b.d8b': the directory chain leaves the disk at 1.4 \u2192 ") + text,
            {"SMALL", "EDGES"});
    }
}

TEST_F(DirectoryDamage, DnpRootDirectoryThatLeavesTheDiskSaysWhere) {
    const std::string path = patched("cmd/x.dnp", "r.dnp", [](test_support::Bytes& bytes) {
        test_support::put(bytes, kDnpRootEntries, {99, 0});
    });
    expectListedAndNotSaved(path, "warning: 'r.dnp': the directory chain leaves the disk at 1.34 \u2192 99.0",
                            {"HELLO", "SUB"});
}

// SUB's header past the disk, or the root's own: ls -D names it and goes on, cat refuses it.
TEST_F(DirectoryDamage, DnpSubdirectoryWhoseHeaderIsNotItsOwnIsNamedAndRefused) {
    const std::pair<std::uint8_t, std::uint8_t> headers[] = {{3, 37}, {1, 1}};
    const char* faults[] = {"has its header outside the image", "has the header of a directory that encloses it"};
    for (std::size_t k = 0; k < 2; ++k) {
        const std::string path = patched("cmd/x.dnp", "s.dnp", [&](test_support::Bytes& bytes) {
            test_support::put(bytes, kDnpRootEntries + 32 + 3, {headers[k].first, headers[k].second});
        });
        const std::string fault = std::string("the subdirectory of entry [1] ") + faults[k];
        const test_support::zt_run_t ls = test_support::runZt({"ls", "-D", path});
        EXPECT_EQ(ls.status, 0);
        EXPECT_NE(ls.errors.find("warning: 's.dnp': " + fault + "; skipping\n"), std::string::npos) << ls.errors;
        EXPECT_EQ(test_support::countOf(ls.out, "[1] \"SUB\""), 0u);
        const test_support::zt_run_t cat = test_support::runZt({"cat", path + ":SUB"});
        EXPECT_EQ(cat.status, 1);
        EXPECT_TRUE(cat.out.empty());
        EXPECT_NE(cat.errors.find("error: '" + path + "': " + fault + "\n"), std::string::npos) << cat.errors;
    }
    // SUB's own header, linked to the root's first directory block.
    const std::string path = patched("cmd/x.dnp", "s.dnp", [](test_support::Bytes& bytes) {
        test_support::put(bytes, dnpOffset(1, 37), {1, 34});
    });
    const test_support::zt_run_t ls = test_support::runZt({"ls", "-D", path});
    EXPECT_EQ(ls.status, 0);
    EXPECT_NE(ls.errors.find("warning: 's.dnp': entry [1] leads back into an enclosing directory; skipping\n"),
              std::string::npos)
        << ls.errors;
}

// p.d81's partition PART, its header in 70/0 linked to the root's first directory block 40/3.
TEST_F(DirectoryDamage, D81PartitionLinkedBackToTheRootIsNamed) {
    const std::string path = patched("d81/p.d81", "p.d81", [](test_support::Bytes& bytes) {
        test_support::put(bytes, (69 * 40) * 256, {40, 3});
    });
    const test_support::zt_run_t ls = test_support::runZt({"ls", "-D", path});
    EXPECT_EQ(ls.status, 0);
    EXPECT_NE(ls.errors.find("warning: 'p.d81': entry [2] leads back into an enclosing directory; skipping\n"),
              std::string::npos)
        << ls.errors;
    EXPECT_EQ(test_support::countOf(ls.out, "[2] \"PART\""), 0u);
}

}  // namespace
}  // namespace app
