#include "forge/save_file.hpp"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include "tests/support/fifo_peer.hpp"
#include "tests/support/files.hpp"
#include "tests/support/scratch_dir.hpp"
#include "tests/support/without_root.hpp"

namespace forge {
namespace {

namespace fs = std::filesystem;
using test_support::bytes_t;

// Only the target and what the test made itself: no temporary file stays behind.
std::size_t filesIn(const fs::path& directory) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(directory), fs::directory_iterator()));
}

TEST(SaveFile, ReplacesTheTargetKeepingItsMode) {
    const test_support::ScratchDir scratch;
    const fs::path target = scratch.write("image.d64", bytes_t(10, 1));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_FALSE(saveFile(target, bytes_t(20, 2)));
    EXPECT_EQ(test_support::readBytes(target), bytes_t(20, 2));
    struct stat status {};
    ASSERT_EQ(::stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
    EXPECT_EQ(filesIn(scratch.path()), 1u);
    // A new file gets the mode the umask allows.
    ASSERT_FALSE(saveFile(scratch.file("new.d64"), bytes_t(3, 3)));
    EXPECT_EQ(test_support::readBytes(scratch.file("new.d64")), bytes_t(3, 3));
}

TEST(SaveFile, WritesThroughASymbolicLinkAndKeepsTheLink) {
    const test_support::ScratchDir scratch;
    fs::create_directory(scratch.file("real"));
    const fs::path real = scratch.write("real/image.d64", bytes_t(4, 1));
    fs::create_symlink("real/image.d64", scratch.file("link.d64"));
    ASSERT_FALSE(saveFile(scratch.file("link.d64"), bytes_t(5, 9)));
    EXPECT_TRUE(fs::is_symlink(scratch.file("link.d64")));
    EXPECT_EQ(test_support::readBytes(real), bytes_t(5, 9));
    EXPECT_EQ(filesIn(scratch.file("real")), 1u);
}

TEST(SaveFile, AFailedWriterLeavesTheTargetAndNoTemporaryFile) {
    const test_support::ScratchDir scratch;
    const fs::path target = scratch.write("image.d64", bytes_t(8, 7));
    const std::optional<save_failure_t> failure = saveFile(target, [](SaveSink& sink) {
        sink.write(bytes_t(3, 0));
        return false;
    });
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->created);
    EXPECT_EQ(test_support::readBytes(target), bytes_t(8, 7));
    EXPECT_EQ(filesIn(scratch.path()), 1u);
    const std::optional<save_failure_t> nowhere = saveFile(scratch.file("no/such/dir.d64"), bytes_t(1, 1));
    ASSERT_TRUE(nowhere);
    EXPECT_FALSE(nowhere->created);
}

// Devices and pipes take the bytes themselves: no temporary file beside them, no regular file
// renamed into their place, and their refusal is the failure.
TEST(SaveFile, DevicesAndPipesAreWrittenInto) {
    if (!fs::is_character_file("/dev/full") || !fs::is_character_file("/dev/null")) GTEST_SKIP();
    const std::optional<save_failure_t> full = saveFile("/dev/full", bytes_t(10, 1));
    ASSERT_TRUE(full);
    EXPECT_TRUE(full->created);
    EXPECT_TRUE(fs::is_character_file("/dev/full"));
    EXPECT_FALSE(saveFile("/dev/null", bytes_t(10, 1)));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    const test_support::ScratchDir scratch;
    const fs::path fifo = scratch.file("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread reader([&fifo] { EXPECT_EQ(test_support::readBytes(fifo), bytes_t(3, 5)); });
    EXPECT_FALSE(saveFile(fifo, bytes_t(3, 5)));
    reader.join();
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(filesIn(scratch.path()), 1u);

    // /dev/stdout on a pipe: a link to a link to a node that has no path of its own.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(ends[1], STDOUT_FILENO);
    ::close(ends[1]);
    const std::optional<save_failure_t> piped = saveFile("/dev/stdout", bytes_t(4, 9));
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_FALSE(piped) << piped->text;
    std::uint8_t got[8] = {};
    EXPECT_EQ(::read(ends[0], got, sizeof got), 4);
    EXPECT_EQ(got[3], 9);
    ::close(ends[0]);
}

// A set of files is replaced whole or not at all: a target that cannot be written
// leaves every other target as it was, and no temporary file behind.
TEST(SaveFile, SeveralFilesAreWrittenAllOrNone) {
    const test_support::ScratchDir scratch;
    const fs::path first = scratch.write("1!game", bytes_t(4, 1));
    const bytes_t one(6, 11), two(7, 22);
    const file_to_save_t failing[] = {{first, one}, {scratch.file("2!game"), two}, {scratch.file("no/3!game"), two}};
    ASSERT_TRUE(saveFiles(failing));
    EXPECT_EQ(test_support::readBytes(first), bytes_t(4, 1));
    EXPECT_EQ(filesIn(scratch.path()), 1u);

    const file_to_save_t all[] = {{first, one}, {scratch.file("2!game"), two}};
    ASSERT_FALSE(saveFiles(all));
    EXPECT_EQ(test_support::readBytes(first), one);
    EXPECT_EQ(test_support::readBytes(scratch.file("2!game")), two);
    EXPECT_EQ(filesIn(scratch.path()), 2u);
}

// A pipe among the parts of a set takes its bytes and stays a pipe; a node that refuses its
// bytes fails the set before any file is replaced.
TEST(SaveFile, NodesInASetAreWrittenInto) {
    const test_support::ScratchDir scratch;
    const fs::path fifo = scratch.file("1!game");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path second = scratch.write("2!game", bytes_t(4, 1));
    const bytes_t one(6, 11), two(7, 22), three(8, 33);
    const file_to_save_t set[] = {{fifo, one}, {second, two}, {scratch.file("3!game"), three}};
    test_support::FifoReader reader(fifo);
    const std::optional<save_failure_t> saved = saveFiles(set);
    EXPECT_EQ(reader.finish(), one);
    EXPECT_FALSE(saved) << saved->text;
    EXPECT_EQ(fs::status(fifo).type(), fs::file_type::fifo);
    EXPECT_EQ(test_support::readBytes(second), two);
    EXPECT_EQ(test_support::readBytes(scratch.file("3!game")), three);
    EXPECT_EQ(filesIn(scratch.path()), 3u);

    // A socket refuses to be opened: a node of the scratch directory that fails, where a fault
    // of the routine cannot replace a device of the system.
    const fs::path socketPath = scratch.file("5!game");
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.string().size(), sizeof address.sun_path);
    socketPath.string().copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const file_to_save_t failing[] = {{second, one}, {socketPath, one}, {scratch.file("4!game"), one}};
    const std::optional<save_failure_t> refused = saveFiles(failing);
    ::close(listener);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->text, "could not open '" + socketPath.string() + "': No such device or address");
    EXPECT_EQ(fs::status(socketPath).type(), fs::file_type::socket);
    EXPECT_EQ(test_support::readBytes(second), two);
    EXPECT_EQ(filesIn(scratch.path()), 4u);
}

// A process killed in the middle of a save leaves the old file whole.
TEST(SaveFile, AKilledSaveLeavesTheOldContent) {
    const test_support::ScratchDir scratch;
    const fs::path target = scratch.write("image.d64", bytes_t(100, 1));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        saveFile(target, [](SaveSink& sink) {
            sink.write(bytes_t(50, 2));
            ::raise(SIGKILL);
            return sink.write(bytes_t(50, 2));
        });
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(test_support::readBytes(target), bytes_t(100, 1));
}

// Standard input redirected from the target, or from the file a link to it names: refused
// before anything is written, alone or as a part of a set; any other target is saved.
TEST(SaveFile, TheFileStandardInputReadsIsNeverReplaced) {
    const test_support::ScratchDir scratch;
    const fs::path input = scratch.write("v.lnx", bytes_t(10, 1));
    const fs::path link = scratch.file("s.d64");
    const fs::path other = scratch.file("out.d64");
    fs::create_symlink("v.lnx", link);
    const int saved = ::dup(STDIN_FILENO);
    const int redirected = ::open(input.c_str(), O_RDONLY);
    ASSERT_GE(redirected, 0);
    ::dup2(redirected, STDIN_FILENO);
    ::close(redirected);
    const std::optional<save_failure_t> direct = saveFile(input, bytes_t(3, 2));
    const std::optional<save_failure_t> linked = saveFile(link, bytes_t(3, 2));
    const bytes_t content(3, 2);
    const file_to_save_t set[] = {{other, content}, {link, content}};
    const std::optional<save_failure_t> part = saveFiles(set);
    const std::optional<save_failure_t> elsewhere = saveFile(other, bytes_t(4, 4));
    ::dup2(saved, STDIN_FILENO);
    ::close(saved);

    ASSERT_TRUE(direct);
    EXPECT_FALSE(direct->created);
    EXPECT_EQ(direct->text, "cannot write to \"" + input.string() + "\"; it is the file standard input reads");
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked->text, "cannot write to \"" + link.string() + "\"; it is the file standard input reads");
    ASSERT_TRUE(part);
    EXPECT_EQ(part->text, linked->text);
    EXPECT_FALSE(elsewhere) << elsewhere->text;
    EXPECT_EQ(test_support::readBytes(other), bytes_t(4, 4));
    EXPECT_EQ(test_support::readBytes(input), bytes_t(10, 1));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(filesIn(scratch.path()), 3u);
}

// A file its user may not write is refused before anything is written, alone or in a set; one
// that others may write is saved and becomes its saver's own. Root writes a read-only file,
// which keeps its mode.
TEST(SaveFile, ReadOnlyTargetsAreRefused) {
    const test_support::ScratchDir scratch;
    ASSERT_EQ(::chmod(scratch.path().c_str(), 0777), 0);
    const fs::path locked = scratch.write("locked.d64", bytes_t(4, 1));
    const fs::path shared = scratch.write("shared.d64", bytes_t(4, 1));
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(shared.c_str(), 0666), 0);
    EXPECT_TRUE(test_support::inChildWithoutRoot([&]() -> std::string {
        const std::optional<save_failure_t> refused = saveFile(locked, bytes_t(2, 2));
        if (!refused) return "a read-only file was replaced";
        if (refused->created ||
            refused->text != "could not open \"" + locked.string() + "\" for writing: Permission denied")
            return "refused as: " + refused->text;
        const bytes_t content(2, 2);
        const file_to_save_t set[] = {{shared, content}, {locked, content}};
        if (!saveFiles(set)) return "a set with a read-only part was saved";
        if (test_support::readBytes(shared) != bytes_t(4, 1)) return "a part of a refused set was replaced";
        if (const auto failure = saveFile(shared, bytes_t(3, 3)))
            return "a file open to all was refused: " + failure->text;
        return std::string();
    }));
    EXPECT_EQ(test_support::readBytes(locked), bytes_t(4, 1));
    EXPECT_EQ(test_support::readBytes(shared), bytes_t(3, 3));
    EXPECT_EQ(filesIn(scratch.path()), 2u);
    if (::geteuid() != 0) return;
    struct stat status {};
    ASSERT_EQ(::stat(shared.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    ASSERT_FALSE(saveFile(locked, bytes_t(5, 5)));
    EXPECT_EQ(test_support::readBytes(locked), bytes_t(5, 5));
    ASSERT_EQ(::stat(locked.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0444u);
}

// Saved by root, files keep their owner, group and mode, set-id bits included (a change of
// owner clears them).
TEST(SaveFile, FilesKeepTheirOwnerAndGroup) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root gives files away";
    const test_support::ScratchDir scratch;
    const fs::path first = scratch.write("1!game", bytes_t(4, 1));
    const fs::path second = scratch.write("2!game", bytes_t(4, 1));
    ASSERT_EQ(::chown(first.c_str(), 1234, 5678), 0);
    ASSERT_EQ(::chmod(first.c_str(), 06750), 0);
    ASSERT_EQ(::chown(second.c_str(), 4321, 8765), 0);
    ASSERT_EQ(::chmod(second.c_str(), 0640), 0);
    const auto expectOwner = [](const fs::path& file, uid_t uid, gid_t gid, mode_t mode) {
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, uid) << file;
        EXPECT_EQ(status.st_gid, gid) << file;
        EXPECT_EQ(status.st_mode & 07777, mode) << file;
    };
    const bytes_t one(6, 2), two(6, 3);
    const file_to_save_t set[] = {{first, one}, {second, two}};
    ASSERT_FALSE(saveFiles(set));
    expectOwner(first, 1234, 5678, 06750);
    expectOwner(second, 4321, 8765, 0640);
    ASSERT_FALSE(saveFile(first, bytes_t(7, 4)));
    expectOwner(first, 1234, 5678, 06750);
    EXPECT_EQ(test_support::readBytes(first), bytes_t(7, 4));
}

// A save interrupted while its writer waits ends the process as the signal does (status 130 or
// 143 in a shell), leaving the old content and no temporary file.
TEST(SaveFile, AnInterruptedSaveLeavesNoTemporaryFile) {
    for (const int signal : {SIGINT, SIGTERM}) {
        const test_support::ScratchDir scratch;
        const fs::path target = scratch.write("image.d64", bytes_t(100, 1));
        int writing[2];
        int hold[2];
        ASSERT_EQ(::pipe(writing), 0);
        ASSERT_EQ(::pipe(hold), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::signal(signal, SIG_DFL);  // as a shell starts a command
            saveFile(target, [&](SaveSink& sink) {
                sink.write(bytes_t(50, 2));
                char byte = 0;
                if (::write(writing[1], &byte, 1) != 1 || ::read(hold[0], &byte, 1) < 0) return false;
                return sink.write(bytes_t(50, 2));
            });
            ::_exit(0);
        }
        ::close(writing[1]);
        ::close(hold[0]);
        char byte = 0;
        EXPECT_EQ(::read(writing[0], &byte, 1), 1);
        ::kill(child, signal);
        ::close(hold[1]);  // the writer goes on if the signal did not end it
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(writing[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << signal;
        EXPECT_EQ(WTERMSIG(status), signal);
        EXPECT_EQ(test_support::readBytes(target), bytes_t(100, 1));
        EXPECT_EQ(filesIn(scratch.path()), 1u);
    }
}

// Saves of one target at the same time each write a file of their own, and the target ends
// as one of them, whole.
TEST(SaveFile, ParallelSavesNeverMix) {
    const test_support::ScratchDir scratch;
    const fs::path target = scratch.write("image.d64", bytes_t(1, 0));
    std::vector<std::thread> savers;
    for (std::uint8_t fill = 1; fill <= 4; ++fill) {
        savers.emplace_back([&target, fill] {
            for (int round = 0; round < 20; ++round) saveFile(target, bytes_t(65536, fill));
        });
    }
    for (std::thread& saver : savers) saver.join();
    const bytes_t result = test_support::readBytes(target);
    ASSERT_EQ(result.size(), 65536u);
    EXPECT_EQ(std::count(result.begin(), result.end(), result.front()), 65536);
    EXPECT_EQ(filesIn(scratch.path()), 1u);
}

}  // namespace
}  // namespace forge
