#pragma once
// The file command: one identification line per host file (or standard
// input), the descriptions aligned after the file names.

#include "app/command.hpp"
#include "app/reporter.hpp"
#include "forge/files.hpp"

#include <cstdint>
#include <iostream>
#include <string>

namespace app {

class CommandFile : public Command {
public:
    explicit CommandFile(std::ostream& out = std::cout) : out_(out) {}

    // 1 on a usage error or when any argument produced an error (a path that
    // is missing or cannot be read); the others are still described.
    int run(forge::getopt::Getopt& getopt) override;
    // "<name>; <padding><description>\n"; 0.
    int processFile(const forge::file_t& file, const std::string& name);
    // The path, "; " and the padding that aligns what follows.
    void printPrefix(const std::string& path);

    void setNameWidth(std::uint64_t width) { nameWidth_ = width; }

private:
    void widen(const std::string& path);

    std::ostream& out_;
    std::uint64_t nameWidth_ = 0;  // display columns of the longest name
    Reporter reporter_;
};

}  // namespace app
