#include "tests/support/fifo_reader.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace test_support {

namespace {

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

}  // namespace

FifoReader::FifoReader(const std::filesystem::path& fifo)
    : held_(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)), thread_([this] {
          received_ = readBytes(descriptorPath(held_));
          done_ = true;
      }) {}

FifoReader::~FifoReader() {
    if (thread_.joinable()) finish();
}

bytes_t FifoReader::finish() {
    // A writer that comes and goes ends a reader still waiting for one.
    while (!done_) {
        if (const int poke = ::open(descriptorPath(held_).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); poke >= 0)
            ::close(poke);
        std::this_thread::yield();
    }
    thread_.join();
    ::close(held_);
    return received_;
}

}  // namespace test_support
