#pragma once
// Test support: checks of file permissions. Root writes into read-only directories, so such
// a check runs in a child process that gives up root first.

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "tests/support/in_child.hpp"

namespace test_support {

// Runs the check in a child process; as root, the child becomes user and group nobody before
// it, so the directories the check uses must be open to others. The check returns its failure
// text (empty: passed).
inline ::testing::AssertionResult inChildWithoutRoot(const std::function<std::string()>& check) {
    return app::inChild([&] {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
            return std::string("could not give up root");
        }
        return check();
    });
}

}  // namespace test_support
