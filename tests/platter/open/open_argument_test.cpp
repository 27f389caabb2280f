#include "platter/open/open_argument.hpp"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

namespace platter {
namespace {

std::string texts(const opened_container_t& opened) {
    std::string out;
    for (const forge::message_t& message : opened.messages)
        out += (message.level == forge::message_level::error ? "error: " : "warning: ") + message.text + "\n";
    return out;
}

TEST(OpenContainerArgument, AnImageOpensWithoutAMessage) {
    const opened_container_t opened = openContainerArgument(test_support::fixturePath("ls/t.d64").string());
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(opened.disk->blocksFree(), 663u);
    EXPECT_EQ(opened.format, format_id::d64);
    EXPECT_EQ(texts(opened), "");
}

TEST(OpenContainerArgument, OneMessageSaysWhyThereIsNoContainer) {
    const opened_container_t text = openContainerArgument(test_support::fixturePath("ls/tree/notes.txt").string());
    EXPECT_EQ(text.disk, nullptr);
    EXPECT_TRUE(text.read);
    EXPECT_EQ(texts(text), "warning: 'notes.txt' not ID'd as a supported format\n");

    const opened_container_t missing = openContainerArgument(test_support::fixturePath("ls/missing.d64").string());
    EXPECT_FALSE(missing.read);
    EXPECT_EQ(texts(missing), "error: 'missing.d64' could not be read\n");
    EXPECT_EQ(texts(openContainerArgument(test_support::fixturePath("ls/tree").string())),
              "error: 'tree' could not be read\n");
}

TEST(OpenContainerArgument, KindsNotBuiltYetAreErrorsNamingTheKind) {
    const test_support::ScratchDir scratch;
    const opened_container_t d81 = openContainerArgument(scratch.write("x.d81", test_support::bytes_t(819200, 0)));
    EXPECT_EQ(d81.disk, nullptr);
    EXPECT_EQ(texts(d81), "error: 'x.d81': D81 images cannot be opened yet\n");
    EXPECT_EQ(texts(openStdinArgument(test_support::bytes_t(819200, 0))),
              "error: {data from stdin}: D81 images cannot be opened yet\n");
}

TEST(OpenContainerArgument, ArchivesThatCannotBeExpandedAreErrors) {
    // A Lynx banner over an empty directory, and a zipcode set without its first part.
    test_support::bytes_t lynx(300, 0);
    const std::string banner = "CBMCONVERT 2.0";
    std::copy(banner.begin(), banner.end(), lynx.begin() + 108);
    const test_support::ScratchDir scratch;
    EXPECT_EQ(texts(openContainerArgument(scratch.write("x.lnx", lynx))),
              "error: 'x.lnx': could not expand the archive.\n");
    EXPECT_EQ(texts(openStdinArgument(lynx)), "error: {data from stdin}: could not expand the archive.\n");
    const std::string part = scratch.copyFixture("fileid/2!parts", "2!game").string();
    EXPECT_EQ(texts(openContainerArgument(part)), "error: '2!game': could not expand the archive.\n");
}

TEST(OpenStdinArgument, NamesStandardInput) {
    const opened_container_t opened = openStdinArgument(test_support::readFixture("ls/t.d64"));
    ASSERT_NE(opened.disk, nullptr);
    EXPECT_EQ(opened.disk->imagePath(), "stdin.d64");
    EXPECT_EQ(texts(openStdinArgument({'h', 'i'})), "error: {data from stdin} not ID'd as a supported format\n");
}

}  // namespace
}  // namespace platter
