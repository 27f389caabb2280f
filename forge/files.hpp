#pragma once
// Whole-file reading and writing, standard input, and file-system tests.
// Failures are returned (false, empty text or an ErrorCli), never thrown.

#include "forge/host_file.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"  // path texts belong to the same file layer

#include <cstdint>
#include <fstream>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace forge {

// A file read into memory.
struct file_t {
    std::string directory;  // dirName of the path as given
    std::string name;       // fileName of the path; "{data from stdin}" for stdin
    std::vector<std::uint8_t> data;
};

inline constexpr std::string_view kStdinName = "{data from stdin}";

// The most that is read of a stream (standard input, a pipe, a device), and of a file read
// whole into memory: far above any container, so that an endless device ends in a clear
// failure instead of taking all memory.
inline constexpr std::uint64_t kLargestWholeRead = std::uint64_t{64} << 20;
// "'NAME' is larger than 64 MiB, more than any image or archive this reads".
std::string tooLargeText(std::string_view name);

using FileCallback = std::function<std::optional<ErrorCli>(file_t&)>;

// Reads the whole file. Regular files are read by their size (and the count
// checked), pipes and devices in chunks until their end (kLargestWholeRead at most);
// directories and unreadable paths give false and leave `file` untouched.
bool readFile(const std::string& path, file_t& file);

enum class read_status { read, failed, tooLarge };
// readFile, except that a regular file larger than `largest` bytes is not read at all, and a
// stream longer than kLargestWholeRead is too large as well.
read_status readFileUpTo(const std::string& path, std::uint64_t largest, file_t& file);
// The whole content of a file already open, under the same rules.
read_status readHostFile(const HostFile& file, std::uint64_t largest, std::vector<std::uint8_t>& data);

// "'P': no such file or directory" or "'P': is a directory"; empty when readable.
std::optional<ErrorCli> verifyFileForRead(const std::string& path);

// verifyFileForRead, then readFile ("could not read from 'P'" on failure), then
// the callback's result. The file lives only during the callback.
std::optional<ErrorCli> readFileAndProcess(const std::string& path, const FileCallback& callback);

// Reads standard input to its end; a read error gives "could not read from
// '{data from stdin}'", more than kLargestWholeRead bytes tooLargeText.
std::optional<ErrorCli> readStdin(file_t& file);
std::optional<ErrorCli> readStdinAndProcess(const FileCallback& callback);

// Opens `path` for writing (std::ios::out is always added to `mode`) into
// `stream`, replacing whatever it held; "'P': could not be opened for writing".
std::optional<ErrorCli> openForWrite(const std::string& path, std::fstream& stream, std::ios::openmode mode);
std::variant<std::fstream, ErrorCli> openForWrite(const std::string& path, std::ios::openmode mode);

// Writes the bytes, flushes and closes; true only when all of that succeeded.
// Failures print "error: could not open \"P\" for writing" or "error: failure
// while trying to write to \"P\"" on the error stream (no program name).
bool writeFile(const std::string& path, std::span<const std::uint8_t> bytes,
               std::ios::openmode mode = std::ios::binary | std::ios::trunc);

// stat-based tests; a path whose status cannot be read gives false.
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
bool isRegularFile(const std::string& path);
// A device, pipe or socket (/dev/stdout, a FIFO): a node to write into, not a file to replace.
bool isDeviceOrPipe(const std::string& path);
// Both paths name one existing file (the same device and inode, so links count too).
bool isSameFile(const std::string& a, const std::string& b);
// The path names the file standard output is open on (/dev/stdout, or the file it was redirected to).
bool isStandardOutput(const std::string& path);
// The path leads, through symbolic links, to a descriptor of a process (/dev/stdin, /dev/fd/3,
// /proc/self/fd/0): it reads whatever that descriptor is open on, which has no name there.
bool namesOpenDescriptor(const std::string& path);

// realpath: whether the path resolves, and the canonical absolute path (empty
// when it does not resolve).
bool isResolvable(const std::string& path);
std::string absolutePath(const std::string& path);

}  // namespace forge
