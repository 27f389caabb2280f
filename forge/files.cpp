#include "forge/files.hpp"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string_view>

#include <sys/stat.h>
#include <unistd.h>

namespace forge {

namespace {

constexpr std::size_t kChunkSize = 1048576;

ErrorCli errorMessage(std::string message) {
    return ErrorCli{0, [message = std::move(message)] { std::cerr << message; }};
}

ErrorCli cannotRead(const std::string& path) { return errorMessage("could not read from '" + path + "'"); }

bool statPath(const std::string& path, struct stat& status) { return ::stat(path.c_str(), &status) == 0; }

bool isSameNode(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// As many links as the kernel follows in one lookup.
constexpr int kMostLinks = 40;

// "/proc/<process>/fd", where the links to a process's descriptors are.
bool isDescriptorDirectory(std::string_view directory) {
    constexpr std::string_view kProc = "/proc/";
    constexpr std::string_view kDescriptors = "/fd";
    if (!directory.starts_with(kProc) || !directory.ends_with(kDescriptors)) return false;
    const std::string_view process =
        directory.substr(kProc.size(), directory.size() - kProc.size() - kDescriptors.size());
    return !process.empty() && process.find('/') == std::string_view::npos;
}

// A size the memory cannot hold (a sparse file, an endless device) is a read
// failure, not an exception.
bool resizeFor(std::vector<std::uint8_t>& data, std::uint64_t size) {
    try {
        data.resize(static_cast<std::size_t>(size));
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

// Reads to the end of input in chunks, for streams whose size is unknown.
read_status readToEnd(int fd, std::vector<std::uint8_t>& data) {
    std::size_t total = 0;
    for (;;) {
        if (!resizeFor(data, total + kChunkSize)) return read_status::failed;
        const ssize_t got = ::read(fd, data.data() + total, kChunkSize);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            data.resize(total);
            return got == 0 ? read_status::read : read_status::failed;
        }
        total += static_cast<std::size_t>(got);
        if (total > kLargestWholeRead) {
            data.clear();
            return read_status::tooLarge;
        }
    }
}

}  // namespace

bool readFile(const std::string& path, file_t& file) {
    return readFileUpTo(path, UINT64_MAX, file) == read_status::read;
}

read_status readFileUpTo(const std::string& path, std::uint64_t largest, file_t& file) {
    HostFile host;
    if (!host.open(path)) return read_status::failed;
    std::vector<std::uint8_t> data;
    const read_status status = readHostFile(host, largest, data);
    if (status != read_status::read) return status;
    file.directory = dirName(path);
    file.name = fileName(path);
    file.data = std::move(data);
    return read_status::read;
}

read_status readHostFile(const HostFile& file, std::uint64_t largest, std::vector<std::uint8_t>& data) {
    if (file.size() > largest) return read_status::tooLarge;
    // Regular files are read by size; others, and files that report size 0
    // (procfs and the like), until their end.
    if (file.size() > 0) {
        if (!resizeFor(data, file.size())) return read_status::failed;
        const std::int64_t got = file.readAt(0, data);
        return got >= 0 && static_cast<std::uint64_t>(got) == file.size() ? read_status::read : read_status::failed;
    }
    return readToEnd(file.descriptor(), data);
}

std::string tooLargeText(std::string_view name) {
    return "'" + std::string(name) + "' is larger than 64 MiB, more than any image or archive this reads";
}

std::optional<ErrorCli> readStdin(file_t& file) {
    std::vector<std::uint8_t> data;
    const read_status status = readToEnd(STDIN_FILENO, data);
    if (status == read_status::tooLarge) return errorMessage(tooLargeText(kStdinName));
    if (status != read_status::read) return cannotRead(std::string(kStdinName));
    file.directory.clear();
    file.name = kStdinName;
    file.data = std::move(data);
    return std::nullopt;
}

bool exists(const std::string& path) {
    struct stat status;
    return statPath(path, status);
}

bool isDirectory(const std::string& path) {
    struct stat status;
    return statPath(path, status) && S_ISDIR(status.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat status;
    return statPath(path, status) && S_ISREG(status.st_mode);
}

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first;
    struct stat second;
    return statPath(a, first) && statPath(b, second) && isSameNode(first, second);
}

bool isStandardOutput(const std::string& path) {
    struct stat file;
    struct stat output;
    return statPath(path, file) && ::fstat(STDOUT_FILENO, &output) == 0 && isSameNode(file, output);
}

bool namesOpenDescriptor(const std::string& path) {
    std::filesystem::path at(path);
    for (int link = 0; link < kMostLinks; ++link) {
        struct stat status;
        if (::lstat(at.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return false;
        const std::filesystem::path directory = at.parent_path();
        if (isDescriptorDirectory(absolutePath(directory.empty() ? "." : directory.string()))) return true;
        std::error_code error;
        const std::filesystem::path next = std::filesystem::read_symlink(at, error);
        if (error) return false;
        at = directory / next;  // an absolute link replaces the directory
    }
    return false;
}

std::string absolutePath(const std::string& path) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
    return resolved ? std::string(resolved.get()) : std::string();
}

bool isResolvable(const std::string& path) { return !absolutePath(path).empty(); }

}  // namespace forge
