// Turns the signals that ask the process to quit (SIGTERM, SIGHUP, SIGINT)
// into a Qt signal on the window's thread, so that a run under way can be
// cancelled and its worker joined before the process ends, instead of the
// worker dying in the middle of a file.
//
// The handler only writes the signal's number into a pipe (a self-pipe); a
// socket notifier reads it in the event loop.  One instance at a time; the
// previous handlers come back when it goes.
#pragma once

#include <QObject>

#include <signal.h>

class QSocketNotifier;

namespace ruv {

class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;
    QuitSignals(const QuitSignals&) = delete;
    QuitSignals& operator=(const QuitSignals&) = delete;

signals:
    void quitRequested(int signal);

private:
    void readSignals();

    static constexpr int kSignals[3] = {SIGTERM, SIGHUP, SIGINT};
    int pipe_[2] = {-1, -1};
    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3]{};
};

}  // namespace ruv
