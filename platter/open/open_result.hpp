#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platter/core/disk.hpp"

namespace platter {

// An opened container, or why there is none when the opener knows more than "failed"
// (a kind this build cannot open yet). The caller decides whether and how to say it; what an
// opened container lacks is in its damage report.
struct open_result_t {
    std::unique_ptr<Disk> disk;
    std::string failure;

    explicit operator bool() const { return disk != nullptr; }
};

}  // namespace platter
