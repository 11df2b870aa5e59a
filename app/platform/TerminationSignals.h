// The system's requests to end the program as a Qt signal on the main thread,
// so that they end it through its normal close path (the exit saves) instead
// of killing it.
//
// POSIX: SIGTERM, SIGINT and SIGHUP (a session's end, Ctrl+C, a closed
// terminal), through a self-pipe: the handler writes the signal's number into
// a pipe that a QSocketNotifier watches. Repeated signals are delivered each;
// a program stuck in its close is still stopped by SIGKILL, as every session
// manager does in the end.
//
// Windows: the end of the session (log-off, shut-down), which arrives as
// WM_QUERYENDSESSION and WM_ENDSESSION at every top-level window: at a hidden
// window of this object's own (so it arrives whatever Qt's platform plugin,
// before the program's window exists too) and at the program's Qt windows
// (a native event filter). The end may be allowed at once; Terminate(SIGTERM)
// is emitted when WM_ENDSESSION says that the session ends, and the handler
// returns only when the application has quit (the close that the signal
// started has run, its saves done) or after kEndWaitMs, because Windows may
// end the process as soon as it returns. While a dialog's loop runs the close
// cannot run first: EndingNow asks for the saves at once. A console's Ctrl+C
// and Ctrl+Break (SIGINT, SIGBREAK) and the close of the console, log-off and
// shut-down (SIGTERM) of a run attached to a console take the same path.
//
// One object at a time (made after the application object on Windows); it
// restores the previous handlers when it goes.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace lumora {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // How long the end of a Windows session waits for the program to close.
    static constexpr int kEndWaitMs = 15000;

    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

    // The handlers are in place.
    bool Installed() const { return installed_; }
    // The number of the last signal delivered, or 0.
    int Received() const { return received_; }

    // Windows: the end of the session as its messages bring it (emits
    // Terminate and waits as the top of this file says). Public for the
    // platform's message handlers.
    void EndSession(int signalNumber);

Q_SIGNALS:
    // On the main thread, once per signal, after its handler ran.
    void Terminate(int signalNumber);
    // Windows: the session ends while a dialog's loop runs, so the close
    // that Terminate started cannot run before the process is ended. The
    // receiver saves what must be kept before it returns.
    void EndingNow();

private:
    void Deliver();

    bool installed_ = false;
    QSocketNotifier *notifier_ = nullptr; // POSIX
    void *native_ = nullptr;              // Windows: the hidden window and the filter
    bool waiting_ = false;
    int received_ = 0;
};

} // namespace lumora
