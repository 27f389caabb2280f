#pragma once
// The root parser and the registration of every command word with its options.

#include "forge/getopt.hpp"

namespace app {

// Root of the command tree; filled by buildCommandTree, parsed by main.
extern forge::getopt::Getopt g_getopt;

// Registers the root options and the fourteen commands; called once before parsing.
void buildCommandTree();

}  // namespace app
