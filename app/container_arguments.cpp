#include "app/container_arguments.hpp"

#include "app/options.hpp"
#include "forge/log.hpp"
#include "forge/paths.hpp"
#include "platter/core/disk.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/open_container.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/fileid/identify.hpp"

#include <iostream>
#include <memory>
#include <utility>

namespace app {

namespace {

const std::string g_stdin_name(forge::kStdinName);

bool quiet() { return g_option_quiet.isSet(); }

// Registry id of the container kind the bytes were identified as; none for none.
platter::format_id containerFormatOf(const std::vector<std::uint8_t>& bytes) {
    return platter::formatIdForType(platter::fileid::identify(bytes).front().type);
}

// An image kind whose class this build does not have yet: said plainly
// rather than as a file that failed to parse.
bool reportUnbuiltKind(platter::format_id format, const std::string& name) {
    const platter::container_format_t* row = platter::formatById(format);
    if (row == nullptr || (row->category & platter::kCategoryImage) == 0 || platter::makeDiskOfFormat(format))
        return false;
    std::cerr << "error: " << name << ": " << row->name << " images cannot be opened yet\n";
    return true;
}

bool readStdinFile(forge::file_t& file) {
    if (std::optional<forge::ErrorCli> error = forge::readStdin(file)) {
        forge::logError(error->printer);
        return false;
    }
    return true;
}

}  // namespace

bool checkExists(const std::string& path, bool silent) {
    if (forge::isDirectory(path)) {
        if (!silent) std::cerr << "error: \"" << path << "\" is a directory\n";
        return false;
    }
    if (forge::exists(path)) return true;
    if (!silent) std::cerr << "error: '" << path << "': No such file or directory.\n";
    return false;
}

bool checkReadable(const std::string& path, const FileBytesCallback& callback) {
    if (!checkExists(path, false)) return false;
    forge::file_t file;
    if (!forge::readFile(path, file)) {
        if (!forge::isSuppressed(forge::kLevelError))
            std::cerr << "error: '" << forge::fileName(path) << "' could not be read\n";
        return false;
    }
    return callback(file, path) == 0;
}

bool readStandardInput(const FileBytesCallback& callback) {
    forge::file_t file;
    return readStdinFile(file) && callback(file, g_stdin_name) == 0;
}

int openContainerArgument(const std::string& path, const ContainerCallback& callback) {
    forge::file_t file;
    if (!checkExists(path, true) || !forge::readFile(path, file)) {
        if (!quiet()) std::cerr << "error: '" << forge::fileName(path) << "' could not be read\n";
        return 1;
    }
    const platter::format_id format = containerFormatOf(file.data);
    if (format == platter::format_id::none) {
        if (!quiet()) std::cerr << "warning: '" << forge::fileName(path) << "' not ID'd as a supported format\n";
        return 0;
    }
    std::unique_ptr<platter::Disk> disk = platter::openContainer(format, path, std::move(file.data)).disk;
    if (!disk) {
        file.data = {};  // the fallback reads the file itself
        disk = platter::openContainerFile(path).disk;
    }
    if (!disk) {
        if (reportUnbuiltKind(format, "'" + forge::fileName(path) + "'")) return 1;
        if (!quiet())
            std::cerr << "warning: '" << forge::fileName(path) << "' ID'd as a supported format but failed to parse\n";
        return 0;
    }
    return callback(*disk, path);
}

int openStdinContainer(const ContainerCallback& callback) {
    forge::file_t file;
    if (!readStdinFile(file)) return 1;
    const platter::format_id format = containerFormatOf(file.data);
    if (format == platter::format_id::none) {
        if (!quiet()) std::cerr << "error: " << g_stdin_name << " not ID'd as a supported format\n";
        return 1;
    }
    std::unique_ptr<platter::Disk> disk = platter::openContainer(format, "stdin", std::move(file.data)).disk;
    if (!disk) {
        if (reportUnbuiltKind(format, g_stdin_name)) return 1;
        if (!quiet()) {
            const platter::container_format_t* row = platter::formatById(format);
            std::cerr << "error: " << g_stdin_name << " ID'd as a " << (row ? row->extension : "")
                      << " but failed to parse\n";
        }
        return 1;
    }
    return callback(*disk, g_stdin_name);
}

}  // namespace app
