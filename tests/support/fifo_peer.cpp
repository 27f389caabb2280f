#include "tests/support/fifo_peer.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>

namespace test_support {

namespace {

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// Opens and closes the FIFO at `path` from the other side, which lets go an end that waits in
// open for its peer.
void poke(const std::string& path, int flags) {
    if (const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC); fd >= 0) ::close(fd);
}

void writeAll(int fd, const bytes_t& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const ssize_t written = ::write(fd, bytes.data() + at, bytes.size() - at);
        if (written <= 0) return;
        at += static_cast<std::size_t>(written);
    }
}

bool exited(pid_t child) {
    int status = 0;
    const pid_t reaped = ::waitpid(child, &status, WNOHANG);
    return reaped == child || reaped < 0;
}

}  // namespace

FifoReader::FifoReader(const std::filesystem::path& fifo)
    : held_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {
    int ends[2];
    if (held_ < 0 || ::pipe(ends) != 0) return;
    reader_ = ::fork();
    if (reader_ == 0) {
        ::close(ends[0]);
        writeAll(ends[1], readBytes(descriptorPath(held_)));
        ::_exit(0);
    }
    ::close(ends[1]);
    result_ = ends[0];
}

FifoReader::~FifoReader() {
    if (!finished_) finish();
}

bytes_t FifoReader::finish() {
    finished_ = true;
    if (reader_ <= 0) return {};
    // A writer that comes and goes ends a reader still waiting for one.
    pollfd done{result_, POLLIN, 0};
    while (::poll(&done, 1, 0) == 0) {
        poke(descriptorPath(held_), O_WRONLY);
        std::this_thread::yield();
    }
    std::uint8_t buffer[65536];
    for (ssize_t n; (n = ::read(result_, buffer, sizeof buffer)) > 0;)
        received_.insert(received_.end(), buffer, buffer + n);
    int status = 0;
    ::waitpid(reader_, &status, 0);
    ::close(result_);
    ::close(held_);
    return received_;
}

FifoWriter::FifoWriter(const std::filesystem::path& fifo, const bytes_t& bytes) : fifo_(fifo) {
    writer_ = ::fork();
    if (writer_ == 0) {
        // A reader that gave up early ends the write, not the process.
        std::signal(SIGPIPE, SIG_IGN);
        const int fd = ::open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd >= 0) {
            writeAll(fd, bytes);
            ::close(fd);
        }
        ::_exit(0);
    }
}

FifoWriter::~FifoWriter() { finish(); }

void FifoWriter::finish() {
    if (writer_ <= 0) return;
    while (!exited(writer_)) {
        poke(fifo_.string(), O_RDONLY);
        std::this_thread::yield();
    }
    writer_ = -1;
}

}  // namespace test_support
