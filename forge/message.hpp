#pragma once
// A message a library hands back instead of printing it: the command layer decides
// whether and where it appears.

#include <string>

namespace forge {

enum class message_level { notice, warning, error };

struct message_t {
    message_level level = message_level::error;
    std::string text;  // without the level prefix and the line end
};

}  // namespace forge
