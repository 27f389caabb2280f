#pragma once
// Licence notices of the libraries linked into the program, for --license.

namespace app {

extern const char* const kXxhashLicense;
extern const char* const kStbTruetypeLicense;

}  // namespace app
