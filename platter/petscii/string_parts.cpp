#include "platter/petscii/string_parts.hpp"

#include <algorithm>

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

void eraseChars(std::string& text, std::string_view chars) {
    std::erase_if(text, [chars](char c) { return chars.find(c) != std::string_view::npos; });
}

}  // namespace platter
