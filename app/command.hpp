#pragma once
// The interface of every command: one object per run, built by the dispatcher.

#include "forge/getopt.hpp"

namespace app {

class Command {
public:
    virtual ~Command() = default;
    // The exit status of the program.
    virtual int run(forge::getopt::Getopt& getopt) = 0;
};

}  // namespace app
