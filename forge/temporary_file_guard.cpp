#include "forge/temporary_file_guard.hpp"

#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>
#include <mutex>

namespace forge {

namespace {

constexpr int kGuardedSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
constexpr std::size_t kSignalCount = std::size(kGuardedSignals);
// Enough for every part of a zipcode set, and a few saves in parallel threads.
constexpr std::size_t kSlotCount = 16;

enum slot_state : int { kFree, kFilling, kInUse };

struct slot_t {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the slot states");

slot_t g_slots[kSlotCount];

std::mutex g_installMutex;
int g_installCount = 0;
struct sigaction g_previous[kSignalCount];

sigset_t guardedSignals() {
    sigset_t set;
    ::sigemptyset(&set);
    for (const int signal : kGuardedSignals) ::sigaddset(&set, signal);
    return set;
}

extern "C" void removeTemporaryFiles(int signal) {
    for (slot_t& slot : g_slots) {
        if (slot.state.load() == kInUse) ::unlink(slot.path);
    }
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    ::sigemptyset(&fallback.sa_mask);
    ::sigaction(signal, &fallback, nullptr);
    ::raise(signal);
}

void install() {
    const std::lock_guard lock(g_installMutex);
    if (g_installCount++ > 0) return;
    struct sigaction handler {};
    handler.sa_handler = removeTemporaryFiles;
    handler.sa_mask = guardedSignals();
    for (std::size_t i = 0; i < kSignalCount; ++i) {
        ::sigaction(kGuardedSignals[i], nullptr, &g_previous[i]);
        // An ignored signal stays ignored, and a handler of the program's own stays its own.
        if (!(g_previous[i].sa_flags & SA_SIGINFO) && g_previous[i].sa_handler == SIG_DFL)
            ::sigaction(kGuardedSignals[i], &handler, nullptr);
    }
}

void uninstall() {
    const std::lock_guard lock(g_installMutex);
    if (--g_installCount > 0) return;
    for (std::size_t i = 0; i < kSignalCount; ++i) ::sigaction(kGuardedSignals[i], &g_previous[i], nullptr);
}

}  // namespace

HeldSignals::HeldSignals() {
    const sigset_t held = guardedSignals();
    ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

HeldSignals::~HeldSignals() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

TemporaryFileGuard::~TemporaryFileGuard() {
    for (const std::size_t slot : slots_) g_slots[slot].state.store(kFree);
    if (installed_) uninstall();
}

void TemporaryFileGuard::add(const std::string& path) {
    if (path.size() >= PATH_MAX) return;
    if (!installed_) {
        install();
        installed_ = true;
    }
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        int expected = kFree;
        if (!g_slots[slot].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(g_slots[slot].path, path.c_str(), path.size() + 1);
        g_slots[slot].state.store(kInUse);
        slots_.push_back(slot);
        return;
    }
}

void TemporaryFileGuard::forget(const std::string& path) {
    const auto named =
        std::find_if(slots_.begin(), slots_.end(), [&path](std::size_t slot) { return path == g_slots[slot].path; });
    if (named == slots_.end()) return;
    g_slots[*named].state.store(kFree);
    slots_.erase(named);
}

}  // namespace forge
