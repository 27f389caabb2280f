#pragma once

#include <string>

namespace platter {

// Why the last open of a container gave no image, when the opener knows more than "failed":
// a format or archive kind this build cannot handle yet. Empty otherwise. The command layer
// prints it; the core itself prints nothing.
const std::string& lastOpenFailure();
void setOpenFailure(std::string text);
void clearOpenFailure();

}  // namespace platter
