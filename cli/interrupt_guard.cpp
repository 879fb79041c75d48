#include "cli/interrupt_guard.h"

#include <csignal>

namespace ruv {
namespace {

constexpr int kSignals[3] = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t interruptSignal = 0;

extern "C" void OnInterrupt(int signal) { interruptSignal = signal; }

}  // namespace

InterruptGuard::InterruptGuard() {
    interruptSignal = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

InterruptGuard::~InterruptGuard() {
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
}

bool InterruptRequested() { return interruptSignal != 0; }

}  // namespace ruv
