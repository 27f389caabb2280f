#pragma once
// Test support: the other end of a FIFO, as a process of its own, as at the other end of a real
// pipe. A process, not a thread: a test that runs zt in a child (runZt) forks, and a child forked
// while another thread runs may inherit a lock that thread held, and wait on it for ever.

#include <sys/types.h>

#include <filesystem>

#include "tests/support/files.hpp"

namespace test_support {

// Reads the FIFO to its end. It reads the FIFO itself even when a regular file is renamed over
// its path, and never leaves the reader waiting for a writer that does not come.
class FifoReader {
public:
    explicit FifoReader(const std::filesystem::path& fifo);
    ~FifoReader();
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    // What came through the FIFO; call it once the writer is done (nothing when none came).
    bytes_t finish();

private:
    int held_;         // the FIFO, open without waiting, whatever its path names later
    int result_ = -1;  // what the reader read, written into a pipe when it is done
    pid_t reader_ = -1;
    bool finished_ = false;
    bytes_t received_;
};

// Writes `bytes` into the FIFO once a reader opens it, then closes it.
class FifoWriter {
public:
    FifoWriter(const std::filesystem::path& fifo, const bytes_t& bytes);
    ~FifoWriter();
    FifoWriter(const FifoWriter&) = delete;
    FifoWriter& operator=(const FifoWriter&) = delete;

    // Waits for the writer; one still waiting for a reader (none came) is let go.
    void finish();

private:
    std::filesystem::path fifo_;
    pid_t writer_ = -1;
};

}  // namespace test_support
