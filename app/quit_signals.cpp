#include "app/quit_signals.h"

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace ruv {
namespace {

volatile sig_atomic_t signalPipe = -1;

extern "C" void OnQuitSignal(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (signalPipe >= 0) {
        [[maybe_unused]] const ssize_t ignored = write(signalPipe, &number, 1);
    }
    errno = saved;
}

}  // namespace

QuitSignals::QuitSignals(QObject* parent) : QObject(parent) {
    if (pipe2(pipe_, O_CLOEXEC | O_NONBLOCK) != 0) return;
    signalPipe = pipe_[1];
    notifier_ = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &action, &previous_[i]);
}

QuitSignals::~QuitSignals() {
    if (pipe_[0] < 0) return;
    for (int i = 0; i < 3; ++i) sigaction(kSignals[i], &previous_[i], nullptr);
    signalPipe = -1;
    delete notifier_;
    close(pipe_[0]);
    close(pipe_[1]);
}

void QuitSignals::readSignals() {
    unsigned char numbers[16];
    ssize_t count;
    while ((count = read(pipe_[0], numbers, sizeof numbers)) > 0) {
        for (ssize_t i = 0; i < count; ++i) emit quitRequested(numbers[i]);
    }
}

}  // namespace ruv
