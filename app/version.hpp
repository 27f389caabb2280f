#pragma once
// The --version output: version and build lines, then the credits.

#include <iosfwd>

namespace app {

void printVersion(std::ostream& out);
void printCredits(std::ostream& out);

}  // namespace app
