#pragma once
// The one rule of what a save writes into instead of replacing, and of paths that name no file.

#include <sys/types.h>

#include <filesystem>
#include <string>

namespace forge {

// A device, pipe or socket: it takes the bytes itself, and a rename would put a regular file in
// its place. A regular file or a directory is no node.
bool isNode(mode_t mode);
// The path names a node, every symbolic link followed (a FIFO, /dev/stdout on a terminal or a
// pipe); false for a path that names nothing.
bool isNode(const std::filesystem::path& path);

// A node, or a path that leads to a process's descriptor (/dev/stdin, /dev/fd/3): there is no
// file of its own to save to, and nothing may be made beside it.
bool namesNoFileOfItsOwn(const std::string& path);

}  // namespace forge
