#include "platter/open/open_argument.hpp"

#include "forge/files.hpp"
#include "forge/paths.hpp"
#include "platter/core/format_registry.hpp"
#include "platter/fileid/format_for_type.hpp"
#include "platter/open/format_classes.hpp"
#include "platter/open/identified_format.hpp"
#include "platter/open/open_container.hpp"

namespace platter {

namespace {

forge::message_t warning(std::string text) { return {forge::message_level::warning, std::move(text)}; }
forge::message_t error(std::string text) { return {forge::message_level::error, std::move(text)}; }

// An image kind whose class this build does not have yet is said plainly, not as a file that
// failed to parse.
bool isUnbuiltImageKind(format_id id) {
    const container_format_t* row = formatById(id);
    return row && (row->category & kCategoryImage) && !formatClass(id);
}

forge::message_t unbuiltKind(format_id id, const std::string& name) {
    return error(name + ": " + formatName(id) + " images cannot be opened yet");
}

// An archive or zipcode set that was identified but could not be expanded.
bool isArchiveKind(format_id id) {
    const container_format_t* row = formatById(id);
    return row && (row->category & kCategoryArchive);
}

forge::message_t notExpanded(const std::string& name) { return error(name + ": could not expand the archive."); }

}  // namespace

opened_container_t openContainerArgument(const std::string& path) {
    forge::file_t file;
    if (forge::isDirectory(path) || !forge::exists(path) || !forge::readFile(path, file)) {
        opened_container_t result;
        result.messages.push_back(error("'" + forge::fileName(path) + "' could not be read"));
        return result;
    }
    const std::uint32_t type = firstIdentifiedType(file.data);
    return openIdentifiedArgument(path, std::move(file.data), type);
}

opened_container_t openIdentifiedArgument(const std::string& path, std::vector<std::uint8_t> bytes,
                                          std::uint32_t type) {
    opened_container_t result;
    const std::string quoted = "'" + forge::fileName(path) + "'";
    result.read = true;
    result.type = type;
    const format_id id = result.type == 0 ? format_id::none : formatIdForType(result.type);
    result.format = id;
    if (id == format_id::none) {
        result.messages.push_back(warning(quoted + " not ID'd as a supported format"));
        return result;
    }
    result.disk = openContainer(id, path, std::move(bytes)).disk;
    if (!result.disk) {
        bytes = {};  // the fallback reads the file itself
        result.disk = openContainerFile(path).disk;
    }
    if (result.disk) return result;
    if (isUnbuiltImageKind(id)) {
        result.messages.push_back(unbuiltKind(id, quoted));
    } else if (isArchiveKind(id)) {
        result.messages.push_back(notExpanded(quoted));
    } else {
        result.messages.push_back(warning(quoted + " ID'd as a supported format but failed to parse"));
    }
    return result;
}

opened_container_t openStdinArgument(std::vector<std::uint8_t> bytes) {
    opened_container_t result;
    const std::string name(forge::kStdinName);
    result.read = true;
    result.type = firstIdentifiedType(bytes);
    const format_id id = result.type == 0 ? format_id::none : formatIdForType(result.type);
    result.format = id;
    if (id == format_id::none) {
        result.messages.push_back(error(name + " not ID'd as a supported format"));
        return result;
    }
    result.disk = openContainer(id, "stdin", std::move(bytes)).disk;
    if (result.disk) return result;
    if (isUnbuiltImageKind(id)) {
        result.messages.push_back(unbuiltKind(id, name));
    } else if (isArchiveKind(id)) {
        result.messages.push_back(notExpanded(name));
    } else {
        const container_format_t* row = formatById(id);
        result.messages.push_back(
            error(name + " ID'd as a " + std::string(row ? row->extension : "") + " but failed to parse"));
    }
    return result;
}

}  // namespace platter
