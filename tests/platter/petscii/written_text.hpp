#pragma once
// Test side: what a PETSCII writer has written, as text.

#include <string>

#include "platter/petscii/petscii_writer.hpp"

namespace test_support {

inline std::string writtenText(const platter::PetsciiWriter& writer) { return {writer.output().begin(), writer.output().end()}; }

}  // namespace test_support
