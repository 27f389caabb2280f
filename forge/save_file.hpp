#pragma once
// The one routine every command writes a file with. The bytes go to a fresh temporary file
// beside the target, which gets the target's owner, group and mode (an owner only where the
// user may give files away, as root may), is flushed to the disk and then renamed over the
// target; a symbolic link keeps pointing where it did and its target gets the new content. The
// directory is flushed too. On any failure the temporary file is removed and the target is left
// exactly as it was. A hard link to the target keeps the old content, as with `sed -i`. A
// device, pipe or socket (forge::isNode: /dev/stdout, a FIFO) is written into directly, alone
// or as a part of a set.
// Before anything is written, an existing target is refused when it is the file standard input
// reads, or when the user may not write it (a read-only file stays as it is).
// No temporary file outlives the process: where the file system allows, it has no name until
// just before the rename, and the signals that end a process (SIGINT, SIGTERM, SIGHUP,
// SIGPIPE) wait for the renames; elsewhere they remove the named file first. Only a SIGKILL
// between naming and renaming can leave a hidden ".NAME.zt-XXXXXX" beside the target (where
// the file system has no unnamed files: a SIGKILL at any moment of the write).

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace forge {

// Where a writer puts the content of the file being saved.
class SaveSink {
public:
    explicit SaveSink(int fd) : fd_(fd) {}
    // All of the bytes, or false.
    bool write(std::span<const std::uint8_t> bytes);

private:
    int fd_;
};

// The writer returns false when it could not produce the whole content.
using SaveWriter = std::function<bool(SaveSink& sink)>;

struct save_failure_t {
    bool created = false;  // the temporary file could be created: the failure came later
    std::string text;      // one line, for "error: " + text
};

// Empty when the file was saved, else why not.
std::optional<save_failure_t> saveFile(const std::filesystem::path& target, const SaveWriter& writer);
std::optional<save_failure_t> saveFile(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

struct file_to_save_t {
    std::filesystem::path target;
    std::span<const std::uint8_t> bytes;
};

// Several files, all or none: each goes to its temporary file first; only when every one of
// them is written are the nodes among the targets written into, and then the files renamed
// over theirs. A failure before the renames (a node's included) leaves every file as it was;
// no signal but SIGKILL stops the renames halfway.
std::optional<save_failure_t> saveFiles(std::span<const file_to_save_t> files);

}  // namespace forge
