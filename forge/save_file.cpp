#include "forge/save_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <system_error>
#include <vector>

#include "forge/files.hpp"

namespace forge {

namespace {

constexpr int kMaxLinkHops = 40;

std::string reason() { return std::strerror(errno); }

// The file a path finally names: symbolic links followed, the last one possibly dangling.
std::filesystem::path finalTarget(const std::filesystem::path& target) {
    std::filesystem::path resolved = target;
    std::error_code error;
    for (int hop = 0; hop < kMaxLinkHops && std::filesystem::is_symlink(resolved, error); ++hop) {
        const std::filesystem::path link = std::filesystem::read_symlink(resolved, error);
        if (error) break;
        resolved = link.is_absolute() ? link : resolved.parent_path() / link;
    }
    return resolved;
}

// The mode an existing target has, or that a new file would get under the current umask.
mode_t modeFor(const std::filesystem::path& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) == 0) return status.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes straight into a device or pipe; its refusal (a full device) is the failure.
std::optional<save_failure_t> writeInto(const std::filesystem::path& file, const SaveWriter& writer) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return save_failure_t{false, "could not open '" + file.string() + "': " + reason()};
    SaveSink sink(fd);
    errno = 0;
    std::string failure;
    if (!writer(sink)) failure = "could not write '" + file.string() + "'" + (errno != 0 ? ": " + reason() : "");
    if (::close(fd) != 0 && failure.empty()) failure = "could not close '" + file.string() + "': " + reason();
    if (!failure.empty()) return save_failure_t{true, failure};
    return std::nullopt;
}

bool syncDirectory(const std::filesystem::path& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a directory
    ::close(fd);
    return synced;
}

// A file written in full beside its target and flushed, not yet renamed over it.
struct staged_file_t {
    std::filesystem::path temporary;
    std::filesystem::path file;
    std::filesystem::path directory;
};

std::optional<save_failure_t> stage(const std::filesystem::path& target, const SaveWriter& writer,
                                    staged_file_t& staged) {
    staged.file = finalTarget(target);
    staged.directory = staged.file.parent_path();
    if (staged.directory.empty()) staged.directory = ".";
    std::string temporary = (staged.directory / ("." + staged.file.filename().string() + ".zt-XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return save_failure_t{false,
                              "could not create a temporary file in '" + staged.directory.string() + "': " + reason()};
    staged.temporary = temporary;

    std::string failure;
    if (::fchmod(fd, modeFor(staged.file)) != 0) failure = "could not set the mode of '" + temporary + "': " + reason();
    SaveSink sink(fd);
    errno = 0;
    if (failure.empty() && !writer(sink))
        failure = "could not write '" + temporary + "'" + (errno != 0 ? ": " + reason() : std::string());
    if (failure.empty() && ::fsync(fd) != 0) failure = "could not flush '" + temporary + "': " + reason();
    if (::close(fd) != 0 && failure.empty()) failure = "could not close '" + temporary + "': " + reason();
    if (failure.empty()) return std::nullopt;
    ::unlink(temporary.c_str());
    return save_failure_t{true, failure};
}

std::optional<save_failure_t> commit(const staged_file_t& staged) {
    if (::rename(staged.temporary.c_str(), staged.file.c_str()) == 0) return std::nullopt;
    const std::string failure = "could not replace '" + staged.file.string() + "': " + reason();
    ::unlink(staged.temporary.c_str());
    return save_failure_t{true, failure};
}

std::optional<save_failure_t> flushDirectory(const std::filesystem::path& directory) {
    if (syncDirectory(directory)) return std::nullopt;
    return save_failure_t{true, "could not flush the directory '" + directory.string() + "': " + reason()};
}

}  // namespace

bool SaveSink::write(std::span<const std::uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

std::optional<save_failure_t> saveFile(const std::filesystem::path& target, const SaveWriter& writer) {
    // There is no file to replace in a device or pipe, and a rename would put a regular file in
    // its place. stat follows every link, /proc/self/fd ones included.
    if (isDeviceOrPipe(target.string())) return writeInto(target, writer);
    staged_file_t staged;
    if (auto failure = stage(target, writer, staged)) return failure;
    if (auto failure = commit(staged)) return failure;
    return flushDirectory(staged.directory);
}

std::optional<save_failure_t> saveFiles(std::span<const file_to_save_t> files) {
    std::vector<staged_file_t> staged(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        const std::span<const std::uint8_t> bytes = files[i].bytes;
        if (auto failure = stage(
                files[i].target, [bytes](SaveSink& sink) { return sink.write(bytes); }, staged[i])) {
            for (std::size_t done = 0; done < i; ++done) ::unlink(staged[done].temporary.c_str());
            return failure;
        }
    }
    // Every file is on the disk now; only the renames are left, which fail only when
    // something outside changes the directories meanwhile.
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (auto failure = commit(staged[i])) {
            for (std::size_t left = i + 1; left < staged.size(); ++left) ::unlink(staged[left].temporary.c_str());
            return failure;
        }
    }
    std::set<std::filesystem::path> directories;
    for (const staged_file_t& file : staged) directories.insert(file.directory);
    for (const std::filesystem::path& directory : directories) {
        if (auto failure = flushDirectory(directory)) return failure;
    }
    return std::nullopt;
}

std::optional<save_failure_t> saveFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    return saveFile(target, [bytes](SaveSink& sink) { return sink.write(bytes); });
}

}  // namespace forge
