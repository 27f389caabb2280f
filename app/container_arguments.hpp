#pragma once
// Reading FILE arguments and standard input, and opening them as containers
// through identification and the container-format registry. Messages go
// straight to the error stream, most of them withheld by --quiet.

#include "forge/files.hpp"

#include <functional>
#include <string>

namespace platter {
class Disk;
}

namespace app {

// Gets the opened container and the name to show; returns the command's status.
using ContainerCallback = std::function<int(platter::Disk& disk, const std::string& name)>;
// Gets the bytes of a file and the name to show; 0 means success.
using FileBytesCallback = std::function<int(forge::file_t& file, const std::string& name)>;

// True for an existing path that is not a directory. Unless silent, a
// directory gets "error: \"<p>\" is a directory" and a missing path
// "error: '<p>': No such file or directory.".
bool checkExists(const std::string& path, bool silent);

// Reads the whole file and hands it to the callback; true when the callback
// returned 0. An unreadable file gets "error: '<name>' could not be read"
// unless -qqq.
bool checkReadable(const std::string& path, const FileBytesCallback& callback);

// Reads standard input to its end as the file "{data from stdin}"; true when
// the callback returned 0.
bool readStandardInput(const FileBytesCallback& callback);

// Identifies the file and opens it as the container of its kind (by its
// extension when the bytes do not build one), then returns the callback's
// status. A file that is not a container kind, or does not build, is a
// warning and gives 0; one that cannot be read, or is an image kind this
// build cannot open yet, is an error and gives 1.
int openContainerArgument(const std::string& path, const ContainerCallback& callback);

// The same for standard input, named "{data from stdin}"; every failure is an
// error and gives 1.
int openStdinContainer(const ContainerCallback& callback);

}  // namespace app
