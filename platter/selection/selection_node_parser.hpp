#pragma once

#include <string>
#include <string_view>

#include "platter/selection/file_selector.hpp"

namespace platter {

// Reads one node's text (node.text, node.nested already set) into its kind and
// values: "^" negation, "$" directory chain, "%" track and block data, "%%"
// block chains, "#" indices and ranges, anything else a PETSCII name pattern.
// False with the reason in `message`; `selectionText` is the whole selector,
// which the empty-entry message quotes.
bool parseSelector(file_selector& node, std::string_view selectionText, std::string& message);

}  // namespace platter
