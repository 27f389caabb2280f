#include "app/file_arguments.hpp"

#include "forge/files.hpp"
#include "forge/paths.hpp"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>
#include <vector>

namespace app {

namespace {

bool hasDrivePrefix(const std::string& argument) {
    return argument.size() >= 3 && argument[1] == ':' && argument[2] == '\\';
}

// d_type when the file system gives it; lstat otherwise, so that a link to a
// directory stays a file as it does with d_type.
bool isSubdirectory(const std::string& path, const dirent& entry) {
    if (entry.d_type != DT_UNKNOWN) return entry.d_type == DT_DIR;
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isDotEntry(std::string_view name) { return name == "." || name == ".."; }

// Pipes, devices and sockets never end or never start: a walk leaves them out, links to them
// included. Only an argument that names one reads it. A link to a directory holds no file of
// its own and is never followed (it may lead back up the tree): left out too.
bool isLeftOut(const std::string& path, const dirent& entry) {
    switch (entry.d_type) {
        case DT_FIFO:
        case DT_CHR:
        case DT_BLK:
        case DT_SOCK: return true;
        case DT_REG:
        case DT_DIR: return false;
        default: break;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return false;
    return S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) || S_ISSOCK(status.st_mode) ||
           S_ISDIR(status.st_mode);
}

// A pipe or a character device named by an argument (a process substitution, /dev/stdin) is
// read once, like standard input.
bool isStream(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode));
}

bool pathExists(std::string_view path) {
    struct stat status {};
    return ::stat(std::string(path).c_str(), &status) == 0;
}

// Reads one directory into its files and subdirectories; false when it
// cannot be opened.
bool readDirectory(const std::string& directory, std::vector<std::string>& files,
                   std::vector<std::string>& subdirectories) {
    DIR* handle = ::opendir(directory.c_str());
    if (handle == nullptr) return false;
    while (const dirent* entry = ::readdir(handle)) {
        if (isDotEntry(entry->d_name)) continue;
        std::string path = forge::joinPath(directory, entry->d_name);
        if (isSubdirectory(path, *entry))
            subdirectories.push_back(std::move(path));
        else if (!isLeftOut(path, *entry))
            files.push_back(std::move(path));
    }
    ::closedir(handle);
    return true;
}

}  // namespace

std::pair<std::string, std::string> splitPathSelector(const std::string& argument) {
    const std::size_t from = hasDrivePrefix(argument) ? 2 : 0;
    const std::size_t first = argument.find(':', from);
    if (first == std::string::npos || pathExists(argument)) return {argument, {}};
    // Host names may hold ':' themselves: the last ':' whose left part exists splits.
    for (std::size_t colon = argument.rfind(':'); colon != std::string::npos && colon >= first;) {
        if (pathExists(std::string_view(argument).substr(0, colon)))
            return {argument.substr(0, colon), argument.substr(colon + 1)};
        if (colon == first) break;
        colon = argument.rfind(':', colon - 1);
    }
    return {argument.substr(0, first), argument.substr(first + 1)};
}

bool forEachPath(const std::string& path, const FileHandler& onFile, const DirectoryHandler& onDirectory) {
    if (forge::isDirectory(path)) {
        onDirectory(path, onFile);
        return true;
    }
    if (forge::isRegularFile(path) || isStream(path)) {
        onFile(path);
        return true;
    }
    return false;
}

bool walkDirectory(const std::string& directory, const FileHandler& onFile, const FileHandler& onUnreadable) {
    bool complete = true;
    std::vector<std::string> pending{directory};
    while (!pending.empty()) {
        // Pending stays sorted, so the smallest path is at the front.
        const std::string current = pending.front();
        pending.erase(pending.begin());
        std::vector<std::string> files;
        if (!readDirectory(current, files, pending)) {
            if (onUnreadable) onUnreadable(current);
            complete = false;
            continue;
        }
        std::sort(pending.begin(), pending.end());
        std::sort(files.begin(), files.end());
        for (const std::string& file : files) onFile(file);
    }
    return complete;
}

}  // namespace app
