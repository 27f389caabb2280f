#pragma once
// The one place where a command's messages reach the error stream: the level prefix, the
// -q levels that withhold them, and whether the run failed.

#include <string_view>
#include <vector>

#include "forge/message.hpp"
#include "platter/selection/cbm_selection.hpp"

namespace app {

class Reporter {
public:
    // How many -q withhold a message: most messages go with one -q; messages about the paths
    // themselves are never withheld, errors of a plain read only with -qqq. Commands whose
    // normal output is what -q omits keep their warnings to -qq.
    enum silenced_at : unsigned { kNever = 0, kQuiet = 1, kQuietWarnings = 2, kQuietErrors = 3 };

    void notice(std::string_view text, unsigned silencedAt = kQuiet);
    void warning(std::string_view text, unsigned silencedAt = kQuiet);
    // An error makes the run fail, whether it is shown or withheld.
    void error(std::string_view text, unsigned silencedAt = kQuiet);
    // An error-level line about an attempt the request did not rest on: the run does not fail.
    void errorWithoutFailure(std::string_view text, unsigned silencedAt = kQuiet);
    void report(const forge::message_t& message, unsigned silencedAt = kQuiet);
    void report(const std::vector<forge::message_t>& messages, unsigned silencedAt = kQuiet);
    // The selection's messages, which carry their level prefix and line end; those about a
    // container that could not be expanded go with -q.
    void relay(const platter::CbmSelection& selection);

    // A failure that was reported elsewhere, or that needs no message of its own.
    void fail() { failed_ = true; }
    bool failed() const { return failed_; }
    int status() const { return failed_ ? 1 : 0; }

private:
    void write(std::string_view prefix, std::string_view text, unsigned silencedAt);

    bool failed_ = false;
};

}  // namespace app
