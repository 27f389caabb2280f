#pragma once
// Splitting and joining path texts; '/' and '\\' both separate.

#include <string>
#include <string_view>

namespace forge {

inline constexpr std::string_view g_path_separators = "/\\";

// The text after the last separator (all of it when there is none); empty when
// that last part is "." or "..".
std::string fileName(std::string_view path);

// The text up to and including the last separator (empty when there is none);
// the whole path when its last part is "." or "..".
std::string dirName(std::string_view path);

// The text after the last '.' of fileName(path), without the dot; empty when none.
std::string fileExtension(std::string_view path);

// first + "/" + second with the separators between them collapsed and every
// '\\' turned into '/'; an empty first gives second unchanged, an empty second
// gives first without its trailing separators.
std::string joinPath(std::string_view first, std::string_view second);

}  // namespace forge
