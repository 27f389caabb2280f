#pragma once
// Whole-file reading, standard input, and file-system tests; files are written only through
// forge/save_file.hpp. Failures are returned (false, empty text or an ErrorCli), never thrown.

#include "forge/host_file.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"  // path texts belong to the same file layer

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// Reads standard input to its end; a read error gives "could not read from
// '{data from stdin}'", more than kLargestWholeRead bytes tooLargeText.
std::optional<ErrorCli> readStdin(file_t& file);

// stat-based tests; a path whose status cannot be read gives false.
bool exists(const std::string& path);
bool isDirectory(const std::string& path);
bool isRegularFile(const std::string& path);
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
