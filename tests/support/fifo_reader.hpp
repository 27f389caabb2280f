#pragma once
// Test support: reads a FIFO to its end on a thread of its own, as a process at the other end
// of a pipe does. It reads the FIFO itself even when a regular file is renamed over its path,
// and never leaves the thread waiting for a writer that does not come.

#include <atomic>
#include <filesystem>
#include <thread>

#include "tests/support/files.hpp"

namespace test_support {

class FifoReader {
public:
    explicit FifoReader(const std::filesystem::path& fifo);
    ~FifoReader();
    FifoReader(const FifoReader&) = delete;
    FifoReader& operator=(const FifoReader&) = delete;

    // What came through the FIFO; call it once the writer is done (nothing when none came).
    bytes_t finish();

private:
    int held_;  // the FIFO, open without waiting, whatever its path names later
    std::atomic<bool> done_{false};
    bytes_t received_;
    std::thread thread_;
};

}  // namespace test_support
