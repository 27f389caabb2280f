#include "forge/host_file.hpp"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace forge {

namespace {

host_file_status_t statusOf(const struct stat& status) {
    host_file_status_t result;
    result.exists = true;
    result.directory = S_ISDIR(status.st_mode);
    result.regular = S_ISREG(status.st_mode);
    result.size = result.regular && status.st_size > 0 ? static_cast<std::uint64_t>(status.st_size) : 0;
    return result;
}

}  // namespace

host_file_status_t statHostFile(const std::string& path) {
    struct stat status;
    return ::stat(path.c_str(), &status) == 0 ? statusOf(status) : host_file_status_t{};
}

HostFile::HostFile(HostFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), regular_(other.regular_), size_(other.size_) {}

HostFile& HostFile::operator=(HostFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        regular_ = other.regular_;
        size_ = other.size_;
    }
    return *this;
}

HostFile::~HostFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool HostFile::open(const std::string& path) {
    *this = HostFile();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        ::close(fd);
        return false;
    }
    const host_file_status_t known = statusOf(status);
    fd_ = fd;
    regular_ = known.regular;
    size_ = known.size;
    return true;
}

bool HostFile::open(const std::string& path, const host_file_status_t& status) {
    *this = HostFile();
    if (!status.exists || status.directory) return false;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) return false;
    regular_ = status.regular;
    size_ = status.size;
    return true;
}

std::int64_t HostFile::readAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd_, out.data() + done, out.size() - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace forge
