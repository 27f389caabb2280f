#include "app/argument_loop.hpp"

#include "app/damage_report.hpp"
#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "platter/core/disk.hpp"
#include "platter/open/open_argument.hpp"

namespace app {

int ArgumentLoop::run(const std::vector<std::string>& arguments) {
    const FileHandler file = onFile ? onFile : [this](const std::string& path) { openFile(path); };
    const DirectoryHandler directory =
        onDirectory ? onDirectory : [this](const std::string& path, const FileHandler&) { walk(path); };
    for (const std::string& argument : arguments) {
        const auto [path, selector] = splitPathSelector(argument);
        if (onSelector && !onSelector(argument, selector)) return 1;
        if (!forEachPath(path, file, directory))
            reporter_.error("'" + path + "': Invalid path or file.", Reporter::kNever);
        if (afterArgument) afterArgument();
        if (stopped && stopped()) return 1;
    }
    return reporter_.status();
}

void ArgumentLoop::openFile(const std::string& path) {
    platter::opened_container_t opened = platter::openContainerArgument(path);
    if (opened.nothingToOpen && walking_) {
        for (const forge::message_t& message : opened.messages) reporter_.warning(message.text);
    } else {
        reporter_.report(opened.messages);
    }
    if (!opened.disk || !onContainer) return;
    const std::string name = forge::fileName(path);
    reportDamage(reporter_, *opened.disk, name);
    onContainer(*opened.disk, path);
    reportDamageFoundWhileReading(reporter_, *opened.disk, name);
}

int ArgumentLoop::openStandardInput() {
    forge::file_t file;
    if (std::optional<forge::ErrorCli> error = forge::readStdin(file)) {
        forge::logError(error->printer);
        reporter_.fail();
        return 1;
    }
    platter::opened_container_t opened = platter::openStdinArgument(std::move(file.data));
    reporter_.report(opened.messages);
    if (opened.disk && onContainer) {
        const std::string name(forge::kStdinName);
        reportDamage(reporter_, *opened.disk, name);
        onContainer(*opened.disk, name);
    }
    return reporter_.status();
}

void ArgumentLoop::walk(const std::string& directory) {
    const FileHandler file = onFile ? onFile : [this](const std::string& path) { openFile(path); };
    walking_ = true;
    walkDirectory(directory, file, [this](const std::string& unreadable) {
        reporter_.warning("'" + unreadable + "': Cannot open directory; skipping.");
    });
    walking_ = false;
}

}  // namespace app
