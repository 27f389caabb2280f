#pragma once
// Named temporary files that SIGINT, SIGTERM, SIGHUP and SIGPIPE remove before they end the
// process. The handler only unlinks paths kept in a fixed buffer, which is async-signal-safe,
// then restores the default action and raises the signal again, so that the process ends with
// the signal's usual status. A signal the process ignores (SIGHUP under nohup) stays ignored.

#include <signal.h>

#include <string>
#include <vector>

namespace forge {

// Holds those four signals back in this thread while it lives: the steps it covers finish
// together, and a signal that came meanwhile takes effect after them.
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t previous_;
};

// The files added to it are removed by those signals while it lives. The handler is installed
// with the first file, and the dispositions it replaced come back when the last guard of the
// process ends.
class TemporaryFileGuard {
public:
    TemporaryFileGuard() = default;
    ~TemporaryFileGuard();
    TemporaryFileGuard(const TemporaryFileGuard&) = delete;
    TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

    // Add a file while the signals are held, from its creation on, so that no signal finds it
    // unguarded. A path longer than the buffer, or one beyond its few places, stays unguarded.
    void add(const std::string& path);
    // The file was removed or renamed: the handler must not unlink that name any more.
    void forget(const std::string& path);

private:
    std::vector<std::size_t> slots_;
    bool installed_ = false;
};

}  // namespace forge
