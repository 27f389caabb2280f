#include "forge/save_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "forge/file_node.hpp"
#include "forge/temporary_file_guard.hpp"

namespace forge {

namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kNamingAttempts = 100;
constexpr char kTemporaryMark[] = ".zt-";
constexpr std::size_t kSuffixLength = 6;

std::string reason() { return std::strerror(errno); }

// Test hook: with ZT_SAVE_KILL_AT=POINT#N in the environment, the process kills itself with
// SIGKILL the Nth time a save reaches POINT ("staged": a temporary file written and flushed,
// "named": one given its name, "renamed": one renamed over its target), so that a test can
// see what a SIGKILL there leaves. Without the variable it does nothing.
void killPoint(const char* point) {
    const char* wanted = std::getenv("ZT_SAVE_KILL_AT");
    if (wanted == nullptr) return;
    const std::string_view spec(wanted);
    const std::size_t hash = spec.find('#');
    if (spec.substr(0, hash) != point) return;
    static int reached = 0;
    if (hash != std::string_view::npos && std::to_string(++reached) == spec.substr(hash + 1)) std::raise(SIGKILL);
}

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

// The status of the existing file a path names (every link followed, /proc/self/fd ones
// included), or nothing for a new file.
std::optional<struct stat> existingFile(const std::filesystem::path& target) {
    struct stat status {};
    if (::stat(target.c_str(), &status) != 0) return std::nullopt;
    return status;
}

// Why an existing target must not be replaced. A writer reading standard input would lose the
// file it reads. The rename would go round a write protection the user set; access decides as
// an open would, so root keeps its rights.
std::optional<save_failure_t> refusal(const std::filesystem::path& target, const struct stat& existing) {
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) == 0 && S_ISREG(input.st_mode) && input.st_dev == existing.st_dev &&
        input.st_ino == existing.st_ino) {
        return save_failure_t{false,
                              "cannot write to \"" + target.string() + "\"; it is the file standard input reads"};
    }
    if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        return save_failure_t{false, "could not open \"" + target.string() + "\" for writing: " + reason()};
    return std::nullopt;
}

// The new file takes an existing target's owner, group and mode; a new file the mode the umask
// allows. Only root may give a file away: anyone else keeps what they write, as a new file.
bool takeOwnerAndMode(int fd, const std::optional<struct stat>& existing) {
    if (existing && ::fchown(fd, existing->st_uid, existing->st_gid) != 0 && errno != EPERM) return false;
    if (existing) return ::fchmod(fd, existing->st_mode & 07777) == 0;  // chown may have cleared set-id bits
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return ::fchmod(fd, 0666 & ~mask) == 0;
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

struct save_job_t {
    const std::filesystem::path& target;
    const SaveWriter& writer;
    std::optional<struct stat> existing;

    // There is no file to replace in a device or pipe: it is written into.
    bool intoNode() const { return existing && isNode(existing->st_mode); }
};

// A file written in full beside its target and flushed, not yet renamed over it. Where the
// file system allows, it has no name until just before the rename, so that nothing stays
// behind whatever ends the process; elsewhere mkstemp names it and the guard removes it.
struct staged_file_t {
    std::filesystem::path file;
    std::filesystem::path directory;
    int unnamed = -1;       // the descriptor of a temporary file without a name yet
    std::string temporary;  // the temporary file's name, once it has one
};

// ".NAME.zt-" in the target's directory; the temporary file's name goes on with six characters.
std::string temporaryPrefix(const staged_file_t& staged) {
    return (staged.directory / ("." + staged.file.filename().string() + kTemporaryMark)).string();
}

// Six letters and digits that differ from call to call and from process to process; a name
// that exists already is simply passed over, so they need not be unpredictable.
std::string uniqueSuffix() {
    static constexpr char kCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t value = (std::uint64_t(::getpid()) << 32) + counter.fetch_add(1);
    // splitmix64: neighbouring counts give unrelated names
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    value ^= value >> 31;
    std::string suffix;
    for (std::size_t i = 0; i < kSuffixLength; ++i, value /= sizeof kCharacters - 1)
        suffix += kCharacters[value % (sizeof kCharacters - 1)];
    return suffix;
}

// Opens the temporary file: unnamed where the file system supports it, else named and guarded.
// Returns its descriptor, or -1.
int createTemporary(staged_file_t& staged, TemporaryFileGuard& guard) {
    const int unnamed = ::open(staged.directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0) {
        staged.unnamed = unnamed;
        return unnamed;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return -1;
    std::string temporary = temporaryPrefix(staged) + std::string(kSuffixLength, 'X');
    const HeldSignals held;
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    staged.temporary = temporary;
    guard.add(temporary);
    return fd;
}

// Removes what a save that failed had made of the file.
void discard(staged_file_t& staged, TemporaryFileGuard& guard) {
    if (staged.unnamed >= 0) ::close(staged.unnamed);
    staged.unnamed = -1;
    if (staged.temporary.empty()) return;
    ::unlink(staged.temporary.c_str());
    guard.forget(staged.temporary);
    staged.temporary.clear();
}

void discardAll(std::vector<staged_file_t>& staged, TemporaryFileGuard& guard) {
    for (staged_file_t& file : staged) discard(file, guard);
}

std::optional<save_failure_t> stage(const save_job_t& job, staged_file_t& staged, TemporaryFileGuard& guard) {
    staged.file = finalTarget(job.target);
    staged.directory = staged.file.parent_path();
    if (staged.directory.empty()) staged.directory = ".";
    const int fd = createTemporary(staged, guard);
    if (fd < 0)
        return save_failure_t{false,
                              "could not create a temporary file in '" + staged.directory.string() + "': " + reason()};

    const std::string quoted = "'" + job.target.string() + "'";
    std::string failure;
    if (!takeOwnerAndMode(fd, job.existing))
        failure = "could not set the owner and mode of " + quoted + ": " + reason();
    SaveSink sink(fd);
    errno = 0;
    if (failure.empty() && !job.writer(sink))
        failure = "could not write " + quoted + (errno != 0 ? ": " + reason() : std::string());
    if (failure.empty() && ::fsync(fd) != 0) failure = "could not flush " + quoted + ": " + reason();
    // An unnamed file stays open until it gets its name.
    if (staged.unnamed < 0 && ::close(fd) != 0 && failure.empty())
        failure = "could not close " + quoted + ": " + reason();
    if (failure.empty()) {
        killPoint("staged");
        return std::nullopt;
    }
    return save_failure_t{true, failure};
}

// Gives an unnamed temporary file a name beside its target. Through /proc any user may link
// a file it opened; without /proc only with the capability AT_EMPTY_PATH needs.
bool nameTemporary(staged_file_t& staged) {
    if (staged.unnamed < 0) return true;
    const std::string opened = "/proc/self/fd/" + std::to_string(staged.unnamed);
    const std::string prefix = temporaryPrefix(staged);
    for (int attempt = 0; attempt < kNamingAttempts; ++attempt) {
        const std::string name = prefix + uniqueSuffix();
        if (::linkat(AT_FDCWD, opened.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(staged.unnamed, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0)) {
            staged.temporary = name;
            const bool closed = ::close(staged.unnamed) == 0;
            staged.unnamed = -1;
            return closed;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

std::optional<save_failure_t> flushDirectory(const std::filesystem::path& directory) {
    if (syncDirectory(directory)) return std::nullopt;
    return save_failure_t{true, "could not flush the directory '" + directory.string() + "': " + reason()};
}

// With the signals held, names every staged file and renames it over its target. No signal but
// SIGKILL stops the renames halfway or finds a named temporary file.
std::optional<save_failure_t> renameAll(std::vector<staged_file_t>& staged, TemporaryFileGuard& guard) {
    const HeldSignals held;
    for (staged_file_t& file : staged) {
        if (nameTemporary(file)) {
            killPoint("named");
            continue;
        }
        const std::string failure = "could not name a temporary file in '" + file.directory.string() + "': " + reason();
        discardAll(staged, guard);
        return save_failure_t{true, failure};
    }
    // The renames fail only when something outside changes the directories meanwhile.
    for (staged_file_t& file : staged) {
        if (::rename(file.temporary.c_str(), file.file.c_str()) != 0) {
            const std::string failure = "could not replace '" + file.file.string() + "': " + reason();
            discardAll(staged, guard);
            return save_failure_t{true, failure};
        }
        guard.forget(file.temporary);
        file.temporary.clear();
        killPoint("renamed");
    }
    return std::nullopt;
}

// One file or a set, all or none: every file to its temporary file first, then every node
// written into, then the files renamed over their targets. What a node took cannot be taken
// back, so nodes come only once every file is ready, and a node that fails leaves every file
// as it was.
std::optional<save_failure_t> saveAll(std::span<const save_job_t> jobs) {
    for (const save_job_t& job : jobs) {
        if (!job.existing || job.intoNode()) continue;
        if (auto failure = refusal(job.target, *job.existing)) return failure;
    }
    TemporaryFileGuard guard;
    std::vector<staged_file_t> staged;
    staged.reserve(jobs.size());
    for (const save_job_t& job : jobs) {
        if (job.intoNode()) continue;
        if (auto failure = stage(job, staged.emplace_back(), guard)) {
            discardAll(staged, guard);
            return failure;
        }
    }
    for (const save_job_t& job : jobs) {
        if (!job.intoNode()) continue;
        if (auto failure = writeInto(job.target, job.writer)) {
            discardAll(staged, guard);
            return failure;
        }
    }
    if (auto failure = renameAll(staged, guard)) return failure;
    std::set<std::filesystem::path> directories;
    for (const staged_file_t& file : staged) directories.insert(file.directory);
    for (const std::filesystem::path& directory : directories) {
        if (auto failure = flushDirectory(directory)) return failure;
    }
    return std::nullopt;
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
    const save_job_t job{target, writer, existingFile(target)};
    return saveAll({&job, 1});
}

std::optional<save_failure_t> saveFiles(std::span<const file_to_save_t> files) {
    std::vector<SaveWriter> writers;
    std::vector<save_job_t> jobs;
    writers.reserve(files.size());
    jobs.reserve(files.size());
    for (const file_to_save_t& file : files) {
        writers.emplace_back([bytes = file.bytes](SaveSink& sink) { return sink.write(bytes); });
        jobs.push_back({file.target, writers.back(), existingFile(file.target)});
    }
    return saveAll(jobs);
}

std::optional<save_failure_t> saveFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
    return saveFile(target, [bytes](SaveSink& sink) { return sink.write(bytes); });
}

}  // namespace forge
