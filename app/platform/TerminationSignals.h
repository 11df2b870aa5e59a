// SIGTERM, SIGINT and SIGHUP as a Qt signal on the main thread, so that a
// session's end, Ctrl+C or a closed terminal end the program through its
// normal close path (the exit saves) instead of killing it.
//
// POSIX only (a self-pipe: the handler writes the signal's number into a pipe
// that a QSocketNotifier watches). On Windows the session's end arrives as a
// close of the window, which takes the same path; there the object does
// nothing. One object at a time; it restores the previous handlers when it
// goes. Repeated signals are delivered each; a program stuck in its close is
// still stopped by SIGKILL, as every session manager does in the end.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumora {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // The handlers are in place.
    bool Installed() const { return notifier_ != nullptr; }
    // The number of the last signal delivered, or 0.
    int Received() const { return received_; }

Q_SIGNALS:
    // On the main thread, once per signal, after its handler ran.
    void Terminate(int signalNumber);

private:
    void Deliver();

    QSocketNotifier *notifier_ = nullptr;
    int received_ = 0;
};

} // namespace lumora
