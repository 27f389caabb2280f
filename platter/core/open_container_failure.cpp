#include "platter/core/open_container_failure.hpp"

#include <utility>

namespace platter {
namespace {

std::string& failureText() {
    static std::string text;
    return text;
}

}  // namespace

const std::string& lastOpenFailure() { return failureText(); }
void setOpenFailure(std::string text) { failureText() = std::move(text); }
void clearOpenFailure() { failureText().clear(); }

}  // namespace platter
