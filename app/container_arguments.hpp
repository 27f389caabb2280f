#pragma once
// Reading FILE arguments and standard input as plain bytes, for the commands that draw or
// describe files rather than open them as containers (those go through ArgumentLoop).

#include "app/reporter.hpp"
#include "forge/files.hpp"

#include <functional>
#include <string>

namespace app {

// Gets the bytes of a file and the name to show; 0 means success.
using FileBytesCallback = std::function<int(forge::file_t& file, const std::string& name)>;

// True for an existing path that is not a directory. Unless silent, a
// directory gets "error: \"<p>\" is a directory" and a missing path
// "error: '<p>': No such file or directory.".
bool checkExists(const std::string& path, bool silent, Reporter& reporter);

// Reads the whole file and hands it to the callback; true when the callback
// returned 0. An unreadable file gets "error: '<name>' could not be read"
// unless -qqq.
bool checkReadable(const std::string& path, const FileBytesCallback& callback, Reporter& reporter);

// Reads standard input to its end as the file "{data from stdin}"; true when
// the callback returned 0.
bool readStandardInput(const FileBytesCallback& callback, Reporter& reporter);

}  // namespace app
