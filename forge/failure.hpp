#pragma once

#include <stdexcept>
#include <string>

namespace forge {

// Raised when code asks for something a caller must have checked first (an option
// value that does not exist). main reports it as a fatal message; it never aborts.
class Failure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void throwFailure(const std::string& what) { throw Failure(what); }

}  // namespace forge
