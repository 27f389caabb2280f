#pragma once
// A host file opened for reading once: one open and one fstat (or a stat the caller made
// already), then reads at offsets.

#include <cstdint>
#include <span>
#include <string>

namespace forge {

// What one stat of a path says, links followed.
struct host_file_status_t {
    bool exists = false;
    bool directory = false;
    bool regular = false;
    std::uint64_t size = 0;  // of a regular file; 0 for anything else
};

host_file_status_t statHostFile(const std::string& path);

class HostFile {
public:
    HostFile() = default;
    HostFile(HostFile&& other) noexcept;
    HostFile& operator=(HostFile&& other) noexcept;
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;
    ~HostFile();

    // Opens `path` read-only; false for a path that cannot be opened and for a directory.
    bool open(const std::string& path);
    // The same without a stat of its own: kind and size are those of `status`, the caller's
    // stat of `path`. A file that has shrunk since reads fewer bytes than that size, which
    // every reader takes as a failure; one that has grown is read to the size it had.
    bool open(const std::string& path, const host_file_status_t& status);
    bool isOpen() const { return fd_ >= 0; }
    // A regular file, whose size is known; pipes and devices are read to their end.
    bool isRegular() const { return regular_; }
    // The size when opened (0 for anything but a regular file).
    std::uint64_t size() const { return size_; }
    int descriptor() const { return fd_; }
    // Reads into `out` from `offset` on; the number of bytes read, fewer at the end of the
    // file, -1 on a read error.
    std::int64_t readAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

private:
    int fd_ = -1;
    bool regular_ = false;
    std::uint64_t size_ = 0;
};

}  // namespace forge
