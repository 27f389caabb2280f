#pragma once
// FILE arguments: the split of PATH:SELECTOR, the dispatch of a host path to a
// file or a directory handler, and the walk of a host directory tree.

#include <functional>
#include <string>
#include <utility>

namespace app {

using FileHandler = std::function<void(const std::string& path)>;
using DirectoryHandler = std::function<void(const std::string& path, const FileHandler& onFile)>;

// (host path, selector): the whole argument when it names an existing path; otherwise split
// at the last ':' whose left part exists (host names may hold ':'), or else at the first ':'
// after a drive prefix such as "C:\". The selector is empty when nothing follows the ':'.
std::pair<std::string, std::string> splitPathSelector(const std::string& argument);

// A directory goes to onDirectory; a regular file, a pipe or a character device to onFile;
// anything else (missing, block device, socket) is refused: false.
bool forEachPath(const std::string& path, const FileHandler& onFile, const DirectoryHandler& onDirectory);

// Hands every file below the directory to onFile: a directory's files in
// byte-wise order before its subdirectories, the smallest pending directory
// next. Symbolic links to files are files; pipes, devices, sockets and links
// to them or to directories are left out. A directory that cannot be opened
// goes to onUnreadable and the walk goes on; false then.
bool walkDirectory(const std::string& directory, const FileHandler& onFile, const FileHandler& onUnreadable = {});

}  // namespace app
