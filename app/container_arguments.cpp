#include "app/container_arguments.hpp"

#include "forge/log.hpp"
#include "forge/paths.hpp"

#include <cstdint>

namespace app {

bool checkExists(const std::string& path, bool silent, Reporter& reporter) {
    if (forge::isDirectory(path)) {
        if (!silent) reporter.error("\"" + path + "\" is a directory", Reporter::kNever);
        return false;
    }
    if (forge::exists(path)) return true;
    if (!silent) reporter.error("'" + path + "': No such file or directory.", Reporter::kNever);
    return false;
}

bool checkReadable(const std::string& path, const FileBytesCallback& callback, Reporter& reporter) {
    if (!checkExists(path, false, reporter)) return false;
    forge::file_t file;
    // A regular file is read whatever its size; a stream only up to its limit.
    const forge::read_status status = forge::readFileUpTo(path, UINT64_MAX, file);
    if (status != forge::read_status::read) {
        const std::string name = forge::fileName(path);
        reporter.error(status == forge::read_status::tooLarge ? forge::tooLargeText(name)
                                                               : "'" + name + "' could not be read",
                       Reporter::kQuietErrors);
        return false;
    }
    return callback(file, path) == 0;
}

bool readStandardInput(const FileBytesCallback& callback, Reporter& reporter) {
    forge::file_t file;
    if (std::optional<forge::ErrorCli> error = forge::readStdin(file)) {
        forge::logError(error->printer);
        reporter.fail();
        return false;
    }
    return callback(file, std::string(forge::kStdinName)) == 0;
}

}  // namespace app
