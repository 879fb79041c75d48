#include "cli/interrupt_guard.h"

#include <atomic>
#include <csignal>

namespace ruv {
namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler, which may run on any thread of the process (the worker's
// threads too), and read by the main thread: a lock-free atomic, safe in a handler.
std::atomic<int> interruptSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void OnInterrupt(int signal) { interruptSignal.store(signal); }

}  // namespace

InterruptGuard::InterruptGuard() {
    interruptSignal.store(0);
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

InterruptGuard::~InterruptGuard() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

bool InterruptRequested() { return interruptSignal.load() != 0; }

}  // namespace ruv
