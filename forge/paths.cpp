#include "forge/paths.hpp"

#include <algorithm>

namespace forge {

namespace {

bool isDotPart(std::string_view part) { return part == "." || part == ".."; }

// The text after the last separator, or the whole path.
std::string_view lastPart(std::string_view path) {
    const std::size_t slash = path.find_last_of(g_path_separators);
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string fileName(std::string_view path) {
    const std::string_view part = lastPart(path);
    return isDotPart(part) ? std::string() : std::string(part);
}

std::string dirName(std::string_view path) {
    if (isDotPart(lastPart(path))) return std::string(path);
    const std::size_t slash = path.find_last_of(g_path_separators);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string fileExtension(std::string_view path) {
    const std::string name = fileName(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string joinPath(std::string_view first, std::string_view second) {
    if (first.empty()) return std::string(second);
    const std::size_t headEnd = first.find_last_not_of(g_path_separators);
    const std::string_view head = headEnd == std::string_view::npos ? std::string_view() : first.substr(0, headEnd + 1);
    if (second.empty()) return std::string(head);
    const std::size_t tailStart = second.find_first_not_of(g_path_separators);
    const std::string_view tail = tailStart == std::string_view::npos ? std::string_view() : second.substr(tailStart);

    std::string joined;
    joined.reserve(head.size() + 1 + tail.size());
    joined.append(head).append("/").append(tail);
    std::replace(joined.begin(), joined.end(), '\\', '/');
    return joined;
}

}  // namespace forge
