// Ctrl-C, SIGTERM and SIGHUP turned into a request that a run stops at a safe
// point, instead of killing the process in the middle of a file.
#pragma once

#include <signal.h>

namespace ruv {

class InterruptGuard {
public:
    // Catches the three signals until destroyed; the request starts cleared.
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

private:
    struct sigaction previous_[3]{};
};

// True once one of the signals came while a guard was alive.
bool InterruptRequested();

}  // namespace ruv
