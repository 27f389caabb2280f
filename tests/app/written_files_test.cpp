// The files the writing commands leave behind, run as a user runs them.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/startup.hpp"
#include "tests/support/d64_image.hpp"
#include "tests/support/fifo_peer.hpp"
#include "tests/support/run_zt.hpp"
#include "tests/support/without_root.hpp"

namespace app {
namespace {

namespace fs = std::filesystem;
using test_support::bytes_t;
using test_support::readBytes;
using test_support::runZt;
using test_support::zt_run_t;

using test_support::kD64Size;

std::size_t filesIn(const fs::path& directory) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

// unar reading the archive from standard input refuses it as DISK, by its name or through a
// link; redirected from the archive or piped, standard input expands into any other file.
TEST(WrittenFiles, TheFileStandardInputReadsIsNeverWrittenOver) {
    const test_support::ScratchDir scratch;
    const fs::path archive = scratch.copyFixture("archive/five.lnx", "v.lnx");
    const bytes_t original = readBytes(archive);
    fs::create_symlink("v.lnx", scratch.file("s.d64"));
    for (const std::string disk : {"v.lnx", "s.d64"}) {
        const std::string target = scratch.file(disk).string();
        const zt_run_t run = runZt({"unar", target}, archive);
        EXPECT_EQ(run.status, 1) << disk;
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.errors, "error: cannot write to \"" + target + "\"; it is the file standard input reads\n");
        EXPECT_EQ(readBytes(archive), original) << disk;
    }
    EXPECT_TRUE(fs::is_symlink(scratch.file("s.d64")));
    EXPECT_EQ(filesIn(scratch.path()), 2u);
    // /dev/stdin names the archive through a descriptor: no /dev/stdin.d64 beside it.
    const zt_run_t throughDescriptor = runZt({"unar", "/dev/stdin"}, archive);
    EXPECT_EQ(throughDescriptor.status, 1);
    EXPECT_EQ(throughDescriptor.errors, "error: cannot write to \"/dev/stdin\"; it is the file standard input reads\n");
    EXPECT_FALSE(fs::exists("/dev/stdin.d64"));
    EXPECT_EQ(readBytes(archive), original);

    const zt_run_t redirected = runZt({"unar", scratch.file("out.d64").string()}, archive);
    EXPECT_EQ(redirected.status, 0) << redirected.errors;
    EXPECT_EQ(fs::file_size(scratch.file("out.d64")), kD64Size);
    const fs::path fifo = scratch.file("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test_support::FifoWriter writer(fifo, original);
    const zt_run_t piped = runZt({"unar", scratch.file("piped.d64").string()}, fifo);
    writer.finish();
    EXPECT_EQ(piped.status, 0) << piped.errors;
    EXPECT_EQ(readBytes(scratch.file("piped.d64")), readBytes(scratch.file("out.d64")));
}

// A zipcode part that is a pipe gets its bytes through the pipe, as a regular part gets them,
// and stays a pipe; the other parts are written as files.
TEST(WrittenFiles, ZipWritesIntoAPipePart) {
    const test_support::ScratchDir scratch;
    const fs::path image = scratch.copyFixture("d64/base.d64", "base.d64");
    ASSERT_EQ(runZt({"zip", image.string(), scratch.file("plain").string()}).status, 0);
    const fs::path fifo = scratch.file("1!x");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    test_support::FifoReader reader(fifo);
    const zt_run_t zip = runZt({"zip", image.string(), scratch.file("x").string()});
    const bytes_t received = reader.finish();
    EXPECT_EQ(zip.status, 0) << zip.errors;
    EXPECT_EQ(received, readBytes(scratch.file("1!plain")));
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    for (const std::string part : {"2!", "3!", "4!"})
        EXPECT_EQ(readBytes(scratch.file(part + "x")), readBytes(scratch.file(part + "plain"))) << part;
}

// As a normal user, ch, unar and zip leave read-only targets alone (a set whole) and name the
// cause; root writes them, and they keep their mode.
TEST(WrittenFiles, ReadOnlyTargetsAreLeftAlone) {
    const test_support::ScratchDir scratch;
    ASSERT_EQ(::chmod(scratch.path().c_str(), 0777), 0);
    const bytes_t original = test_support::readFixture("cat/cat.d64");
    const fs::path image = scratch.copyFixture("cat/cat.d64", "x.d64");
    const fs::path out = scratch.copyFixture("cat/cat.d64", "out.d64");
    const fs::path archive = scratch.copyFixture("archive/five.lnx", "a.lnx");
    std::vector<fs::path> parts;
    for (const std::string part : {"1!game", "2!game", "3!game", "4!game"})
        parts.push_back(scratch.copyFixture("zipcode/" + part, part));
    for (const fs::path& part : parts) ASSERT_EQ(::chmod(part.c_str(), 0666), 0);
    for (const fs::path& locked : {image, out, parts[1]}) ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);

    EXPECT_TRUE(test_support::inChildWithoutRoot([&]() -> std::string {
        const zt_run_t ch = runZt({"ch", "-e", "23", image.string() + ":%18.1"});
        if (ch.status != 1) return "ch: status " + std::to_string(ch.status) + ": " + ch.errors;
        const zt_run_t unar = runZt({"unar", archive.string(), out.string()});
        if (unar.status != 1 ||
            unar.errors != "error: could not open \"" + out.string() + "\" for writing: Permission denied\n")
            return "unar: status " + std::to_string(unar.status) + ": " + unar.errors;
        const zt_run_t zip = runZt({"zip", image.string(), scratch.file("game").string()});
        if (zip.status != 1 || zip.errors != "error: could not open \"" + parts[1].string() +
                                                 "\" for writing: Permission denied\n"
                                                 "error: program aborted due to previous error\n")
            return "zip: status " + std::to_string(zip.status) + ": " + zip.errors;
        return std::string();
    }));
    EXPECT_EQ(readBytes(image), original);
    EXPECT_EQ(readBytes(out), original);
    for (const fs::path& part : parts)
        EXPECT_EQ(readBytes(part), test_support::readFixture("zipcode/" + part.filename().string()));
    EXPECT_EQ(filesIn(scratch.path()), 7u);

    if (::geteuid() != 0) return;
    const zt_run_t root = runZt({"unar", archive.string(), out.string()});
    EXPECT_EQ(root.status, 0) << root.errors;
    EXPECT_NE(readBytes(out), original);
    struct stat status {};
    ASSERT_EQ(::stat(out.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
}

// Run by root (as with sudo), every writer leaves its targets with their owner, group and mode.
TEST(WrittenFiles, TargetsKeepTheirOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root gives files away";
    const test_support::ScratchDir scratch;
    scratch.copyFixture("cat/cat.d64", "source.d64");
    scratch.copyFixture("archive/five.lnx", "a.lnx");
    std::vector<std::string> targets = {"x.d64", "out.d64", "back.d64", "out.reu"};
    for (const std::string& target : targets) scratch.copyFixture("cat/cat.d64", target);
    for (const std::string part : {"1!game", "2!game", "3!game", "4!game"}) {
        scratch.copyFixture("zipcode/" + part, part);
        targets.push_back(part);
    }
    for (const std::string& target : targets) {
        ASSERT_EQ(::chown(scratch.file(target).c_str(), 1234, 5678), 0);
        ASSERT_EQ(::chmod(scratch.file(target).c_str(), 0640), 0);
    }
    const auto in = [&scratch](const std::string& name) { return scratch.file(name).string(); };
    const std::vector<std::vector<std::string>> runs = {
        {"ch", "-e", "23", in("x.d64") + ":%18.1"},
        {"unar", in("a.lnx"), in("out.d64")},
        {"zip", in("source.d64"), in("game")},
        {"unzip", in("1!game"), in("back.d64")},
        {"merge", "-o", in("out.reu"), in("source.d64")},
    };
    for (const std::vector<std::string>& words : runs) {
        const zt_run_t run = runZt(words);
        EXPECT_EQ(run.status, 0) << words.front() << ": " << run.errors;
    }
    for (const std::string& target : targets) {
        struct stat status {};
        ASSERT_EQ(::stat(scratch.file(target).c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 1234u) << target;
        EXPECT_EQ(status.st_gid, 5678u) << target;
        EXPECT_EQ(status.st_mode & 07777, 0640u) << target;
    }
    EXPECT_EQ(fs::file_size(scratch.file("out.reu")), std::uintmax_t{0x1000000});
}

// zt with the words, run in the directory with its streams on /dev/null; with killAt, the save
// routine kills it there (POINT#N, see forge/save_file.cpp).
pid_t startZt(const fs::path& directory, std::vector<std::string> words, const std::string& killAt = {}) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    const int null = ::open("/dev/null", O_RDWR);
    for (const int stream : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) ::dup2(null, stream);
    if (::chdir(directory.c_str()) != 0) ::_exit(127);
    if (!killAt.empty()) ::setenv("ZT_SAVE_KILL_AT", killAt.c_str(), 1);
    words.insert(words.begin(), "zt");
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::_exit(runMain(static_cast<int>(words.size()), argv.data()));
}

// Files of a directory by name, with their content.
using contents_t = std::map<std::string, bytes_t>;

contents_t contentsOf(const fs::path& directory, const contents_t& targets) {
    contents_t contents;
    for (const auto& [name, old] : targets) contents[name] = readBytes(directory / name);
    return contents;
}

void restore(const fs::path& directory, const contents_t& targets) {
    for (const auto& [name, old] : targets) test_support::writeBytes(directory / name, old);
}

// Removes the hidden temporary files of saves and tells how many there were.
std::size_t removeLeftovers(const fs::path& directory) {
    std::size_t found = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.front() != '.' || name.find(".zt-") == std::string::npos) continue;
        fs::remove(entry.path());
        ++found;
    }
    return found;
}

struct kill_case_t {
    std::string command;
    std::vector<std::string> words;  // run among the inputs source.d64, a.lnx and 1!game ... 4!game
    std::vector<std::pair<std::string, std::string>> targets;  // each with the fixture it holds before
};

class KilledWriters : public ::testing::TestWithParam<kill_case_t> {};

// A SIGKILL at each step of the save leaves each target whole, old or new: after the Nth
// temporary file is written every target is old and nothing is left behind; after the Nth is
// named every target is old and the named ones are left as hidden files; after the Nth rename
// N targets are new and the others old, with their hidden files beside them (a zipcode set
// renamed in part). Where the file system has no unnamed temporary files, each is a hidden file
// from its write on.
TEST_P(KilledWriters, LeaveWholeFiles) {
    const kill_case_t& kill = GetParam();
    const test_support::ScratchDir scratch;
    scratch.copyFixture("cat/cat.d64", "source.d64");
    scratch.copyFixture("archive/five.lnx", "a.lnx");
    for (const std::string part : {"1!game", "2!game", "3!game", "4!game"})
        scratch.copyFixture("zipcode/" + part, part);
    contents_t old;
    for (const auto& [target, fixture] : kill.targets) old[target] = test_support::readFixture(fixture);
    const int probe = ::open(scratch.path().c_str(), O_TMPFILE | O_RDWR, 0600);
    const bool unnamedFiles = probe >= 0;
    if (probe >= 0) ::close(probe);

    restore(scratch.path(), old);
    int status = 0;
    ::waitpid(startZt(scratch.path(), kill.words), &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const contents_t written = contentsOf(scratch.path(), old);
    for (const auto& [name, content] : written) ASSERT_NE(content, old.at(name)) << name;
    ASSERT_EQ(removeLeftovers(scratch.path()), 0u);

    const std::size_t files = old.size();
    for (const std::string point : {"staged", "named", "renamed"}) {
        for (std::size_t reached = 1; reached <= files; ++reached) {
            const std::string killAt = point + "#" + std::to_string(reached);
            restore(scratch.path(), old);
            ::waitpid(startZt(scratch.path(), kill.words, killAt), &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << killAt << " never reached";
            std::size_t renamed = 0;
            std::size_t hidden = unnamedFiles ? 0 : files;
            if (point == "staged" && !unnamedFiles) hidden = reached;
            if (point == "named" && unnamedFiles) hidden = reached;
            if (point == "renamed") {
                renamed = reached;
                hidden = files - reached;
            }
            std::size_t fresh = 0;
            for (const auto& [name, content] : contentsOf(scratch.path(), old)) {
                EXPECT_TRUE(content == written.at(name) || content == old.at(name))
                    << "'" << name << "' written in part at " << killAt;
                if (content == written.at(name)) ++fresh;
            }
            EXPECT_EQ(fresh, renamed) << killAt;
            EXPECT_EQ(removeLeftovers(scratch.path()), hidden) << killAt;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writers, KilledWriters,
    ::testing::Values(kill_case_t{"ch", {"ch", "-e", "23", "x.d64:%18.1"}, {{"x.d64", "cat/cat.d64"}}},
                      kill_case_t{"unar", {"unar", "a.lnx", "out.d64"}, {{"out.d64", "cat/cat.d64"}}},
                      kill_case_t{"zip",
                                  {"zip", "source.d64", "set"},
                                  {{"1!set", "archive/five.lnx"},
                                   {"2!set", "archive/five.lnx"},
                                   {"3!set", "archive/five.lnx"},
                                   {"4!set", "archive/five.lnx"}}},
                      kill_case_t{"unzip", {"unzip", "1!game", "back.d64"}, {{"back.d64", "cat/cat.d64"}}},
                      kill_case_t{
                          "merge", {"merge", "-o", "out.reu", "source.d64"}, {{"out.reu", "archive/five.lnx"}}}),
    [](const ::testing::TestParamInfo<kill_case_t>& tested) { return tested.param.command; });

}  // namespace
}  // namespace app
