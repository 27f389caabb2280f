#include "platter/core/disk_library.hpp"

#include "forge/strings.hpp"

namespace platter {

std::string afterFirst(std::string_view text, char c) {
    const std::size_t at = text.find(c);
    return std::string(at == std::string_view::npos ? text : text.substr(at + 1));
}

std::string beforeLast(std::string_view text, char c) {
    const std::size_t at = text.rfind(c);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

std::string afterLast(std::string_view text, char c) {
    const std::size_t at = text.rfind(c);
    return std::string(at == std::string_view::npos ? text : text.substr(at + 1));
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to) {
    return forge::replaceAll(text, from, to);
}

void eraseChars(std::string& text, std::string_view chars) {
    std::erase_if(text, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

}  // namespace platter
