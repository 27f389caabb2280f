#include "forge/files.hpp"

#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using forge::file_t;
using NoError = std::optional<forge::ErrorCli>;

std::vector<std::uint8_t> patternBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 131) ^ (i >> 11));
    return bytes;
}

std::string printed(const forge::ErrorCli& error) {
    std::ostringstream captured;
    std::streambuf* saved = std::cerr.rdbuf(captured.rdbuf());
    error.printer();
    std::cerr.rdbuf(saved);
    return captured.str();
}

// A scratch directory per test, and standard input swapped for a descriptor.
class FilesTest : public ::testing::Test {
protected:
    void TearDown() override {
        ::dup2(savedStdin_, STDIN_FILENO);
        ::close(savedStdin_);
    }
    std::string path(const char* name) const { return scratch_.file(name).string(); }
    void feedStdin(int fd) {
        ::dup2(fd, STDIN_FILENO);
        ::close(fd);
    }

    test_support::ScratchDir scratch_;
    int savedStdin_ = ::dup(STDIN_FILENO);
};

TEST_F(FilesTest, ReadFileRegularDevicesAndPipes) {
    const auto bytes = patternBytes(3 * 1048576 + 17);
    test_support::writeBytes(path("big.d64"), bytes);
    test_support::writeBytes(path("empty"), {});

    file_t file;
    ASSERT_TRUE(forge::readFile(path("big.d64"), file));
    EXPECT_EQ(file.data, bytes);
    EXPECT_EQ(file.name, "big.d64");
    EXPECT_EQ(file.directory, scratch_.path().string() + "/");
    EXPECT_TRUE(forge::readFile(path("empty"), file));
    EXPECT_TRUE(file.data.empty());
    EXPECT_TRUE(forge::readFile("/dev/null", file));
    EXPECT_TRUE(file.data.empty());
    if (forge::exists("/proc/self/status")) {  // a regular file that reports size 0
        EXPECT_TRUE(forge::readFile("/proc/self/status", file));
        EXPECT_FALSE(file.data.empty());
    }

    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    std::thread writer([&] { test_support::writeBytes(path("fifo"), bytes); });
    EXPECT_TRUE(forge::readFile(path("fifo"), file));
    writer.join();
    EXPECT_EQ(file.data, bytes);
}

TEST_F(FilesTest, ReadFailuresAreReportedNotThrown) {
    file_t file;
    file.name = "kept";
    EXPECT_FALSE(forge::readFile(scratch_.path().string(), file));
    EXPECT_FALSE(forge::readFile(path("missing"), file));
    // An endless device ends in a failure, not in all the memory there is.
    if (forge::exists("/dev/zero")) {
        EXPECT_FALSE(forge::readFile("/dev/zero", file));
        EXPECT_EQ(forge::readFileUpTo("/dev/zero", UINT64_MAX, file), forge::read_status::tooLarge);
        feedStdin(::open("/dev/zero", O_RDONLY));
        const NoError error = forge::readStdin(file);
        ASSERT_TRUE(error);
        EXPECT_EQ(printed(*error),
                  "'{data from stdin}' is larger than 64 MiB, more than any image or archive this reads");
    }
    EXPECT_EQ(file.name, "kept");
}

TEST_F(FilesTest, ReadStdinPipeEmptyAndFailing) {
    const auto bytes = patternBytes(3 * 1048576);
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    std::thread writer([&] { test_support::writeBytes(path("fifo"), bytes); });
    feedStdin(::open(path("fifo").c_str(), O_RDONLY));
    file_t file;
    file.directory = "old";
    EXPECT_FALSE(forge::readStdin(file));
    writer.join();
    EXPECT_EQ(file.data, bytes);
    EXPECT_EQ(file.name, "{data from stdin}");
    EXPECT_EQ(file.directory, "");

    feedStdin(::open("/dev/null", O_RDONLY));
    EXPECT_FALSE(forge::readStdin(file));
    EXPECT_TRUE(file.data.empty());

    feedStdin(::open(scratch_.path().c_str(), O_RDONLY | O_DIRECTORY));  // read() fails with EISDIR
    const NoError error = forge::readStdin(file);
    ASSERT_TRUE(error);
    EXPECT_EQ(printed(*error), "could not read from '{data from stdin}'");
}

TEST_F(FilesTest, FileSystemTests) {
    test_support::writeBytes(path("f"), {1});
    EXPECT_TRUE(forge::isRegularFile(path("f")) && forge::exists(path("f")) && !forge::isDirectory(path("f")));
    EXPECT_TRUE(forge::isDirectory(scratch_.path().string()) && !forge::isRegularFile(scratch_.path().string()));
    EXPECT_FALSE(forge::exists(path("x")) || forge::isDirectory(path("x")) || forge::isRegularFile(path("x")));
    EXPECT_EQ(forge::absolutePath(scratch_.path().string() + "/./f"), fs::canonical(path("f")).string());
    EXPECT_FALSE(forge::isResolvable(path("x")));
    EXPECT_EQ(forge::absolutePath(path("x")), "");
}

// A descriptor's link reads whatever the descriptor is open on, here a regular file: the
// path names no file of its own, through however many links; a link to a file does.
TEST_F(FilesTest, DescriptorLinksAreToldFromFiles) {
    test_support::writeBytes(path("f"), {1});
    feedStdin(::open(path("f").c_str(), O_RDONLY));
    fs::create_symlink("f", path("to_file"));
    fs::create_symlink("/dev/stdin", path("to_stdin"));
    fs::create_symlink("to_stdin", path("to_link"));
    fs::create_symlink("missing", path("dangling"));
    for (const std::string descriptor : {"/dev/stdin", "/dev/fd/0", "/proc/self/fd/0"}) {
        if (!forge::exists(descriptor)) continue;
        EXPECT_TRUE(forge::namesOpenDescriptor(descriptor)) << descriptor;
    }
    EXPECT_TRUE(forge::namesOpenDescriptor(path("to_stdin")));
    EXPECT_TRUE(forge::namesOpenDescriptor(path("to_link")));
    for (const char* name : {"f", "to_file", "dangling", "missing"})
        EXPECT_FALSE(forge::namesOpenDescriptor(path(name)));
    EXPECT_FALSE(forge::namesOpenDescriptor(scratch_.path().string()));
}

}  // namespace
