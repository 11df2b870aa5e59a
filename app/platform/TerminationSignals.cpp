#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTimer>

#include <csignal>

#include <windows.h>
#endif

namespace lumora {

#ifdef Q_OS_UNIX

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

int gPipe[2] = {-1, -1};
struct sigaction gPrevious[std::size(kSignals)];

extern "C" void OnTerminationSignal(int signalNumber) {
    // Only async-signal-safe calls: one byte into the pipe. A full pipe
    // already holds a request to end.
    const int savedErrno = errno;
    const char byte = static_cast<char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
    errno = savedErrno;
}

bool MakePipe() {
    if (::pipe(gPipe) != 0) {
        return false;
    }
    for (const int fd : gPipe) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

void ClosePipe() {
    for (int &fd : gPipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {
    if (gPipe[0] >= 0 || !MakePipe()) {
        return; // another object has them, or no pipe: signals keep their default
    }
    struct sigaction action {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &action, &gPrevious[i]);
    }
    notifier_ = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Deliver);
    installed_ = true;
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    for (size_t i = 0; i < std::size(kSignals); ++i) {
        ::sigaction(kSignals[i], &gPrevious[i], nullptr);
    }
    delete notifier_;
    notifier_ = nullptr;
    installed_ = false;
    ClosePipe();
}

void TerminationSignals::Deliver() {
    char bytes[16];
    ssize_t count = 0;
    while ((count = ::read(gPipe[0], bytes, sizeof bytes)) > 0) {
        for (ssize_t i = 0; i < count; ++i) {
            received_ = bytes[i];
            Q_EMIT Terminate(received_);
        }
    }
}

void TerminationSignals::EndSession(int signalNumber) {
    received_ = signalNumber;
    Q_EMIT Terminate(signalNumber);
}

#elif defined(Q_OS_WIN)

namespace {

constexpr wchar_t kWindowClass[] = L"LumoraSessionEnd";

TerminationSignals *gOwner = nullptr;
// Set when the program has closed after a request to end (or the object is
// gone): a console handler waits for it.
HANDLE gEnded = nullptr;
// The session's end is delivered once, however many windows hear of it.
bool gSessionEnding = false;

// Sees the application quit: QEvent::Quit, posted when its last window has
// closed or sent by quit().
class QuitWatcher final : public QObject {
public:
    bool seen = false;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Quit && watched == QCoreApplication::instance()) {
            seen = true;
        }
        return false;
    }
};

void SessionEnds() {
    if (gOwner != nullptr && !gSessionEnding) {
        gSessionEnding = true;
        gOwner->EndSession(SIGTERM);
    }
}

// The hidden top-level window: Windows asks every top-level window.
LRESULT CALLBACK SessionWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_QUERYENDSESSION:
        return TRUE; // it may end: the program saves when it does
    case WM_ENDSESSION:
        if (wParam != 0) {
            SessionEnds();
        }
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// The same messages at the program's own windows (Qt's), which may hear of
// the end before the hidden window does.
class SessionEndFilter final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override {
        if (eventType != "windows_generic_MSG") {
            return false;
        }
        const MSG *msg = static_cast<const MSG *>(message);
        if (msg->message == WM_ENDSESSION && msg->wParam != 0 && !gSessionEnding) {
            SessionEnds();
            // Answered here: the window this message came to may be gone by
            // now (the program closed while it waited), and Qt would go on
            // with it.
            *result = 0;
            return true;
        }
        return false; // Qt answers too (WM_QUERYENDSESSION: the session may end)
    }
};

// A console's events, on a thread the system starts for them. The process
// ends when the handler of a close, log-off or shut-down returns.
BOOL WINAPI OnConsoleEvent(DWORD type) {
    TerminationSignals *owner = gOwner;
    if (owner == nullptr) {
        return FALSE;
    }
    int signalNumber = SIGTERM;
    bool ends = true;
    if (type == CTRL_C_EVENT) {
        signalNumber = SIGINT;
        ends = false;
    } else if (type == CTRL_BREAK_EVENT) {
        signalNumber = SIGBREAK;
        ends = false;
    }
    QMetaObject::invokeMethod(
        owner, [owner, signalNumber] { owner->EndSession(signalNumber); }, Qt::QueuedConnection);
    if (ends && gEnded != nullptr) {
        ::WaitForSingleObject(gEnded, TerminationSignals::kEndWaitMs + 1000);
    }
    return TRUE;
}

struct Native {
    HWND window = nullptr;
    SessionEndFilter filter;
};

} // namespace

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {
    if (gOwner != nullptr) {
        return; // another object has them
    }
    auto *native = new Native;
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &SessionWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassExW(&windowClass); // fails harmlessly when a former object registered it
    // Top-level (not message-only: those hear no broadcast), never shown.
    native->window = ::CreateWindowExW(0, kWindowClass, L"Lumora", WS_POPUP, 0, 0, 0, 0, nullptr,
                                       nullptr, instance, nullptr);
    if (QCoreApplication *app = QCoreApplication::instance()) {
        app->installNativeEventFilter(&native->filter);
    }
    if (gEnded == nullptr) {
        gEnded = ::CreateEventW(nullptr, TRUE, FALSE, nullptr); // kept for the process
    } else {
        ::ResetEvent(gEnded);
    }
    gSessionEnding = false;
    gOwner = this;
    ::SetConsoleCtrlHandler(&OnConsoleEvent, TRUE);
    native_ = native;
    installed_ = native->window != nullptr;
}

TerminationSignals::~TerminationSignals() {
    auto *native = static_cast<Native *>(native_);
    if (native == nullptr) {
        return;
    }
    ::SetConsoleCtrlHandler(&OnConsoleEvent, FALSE);
    gOwner = nullptr;
    if (QCoreApplication *app = QCoreApplication::instance()) {
        app->removeNativeEventFilter(&native->filter);
    }
    if (native->window != nullptr) {
        ::DestroyWindow(native->window);
    }
    delete native;
    native_ = nullptr;
    installed_ = false;
    // A console handler still waiting may return: everything is saved.
    if (gEnded != nullptr) {
        ::SetEvent(gEnded);
    }
}

void TerminationSignals::Deliver() {}

void TerminationSignals::EndSession(int signalNumber) {
    received_ = signalNumber;
    Q_EMIT Terminate(signalNumber);
    if (waiting_ || QCoreApplication::instance() == nullptr) {
        return;
    }
    // A dialog's loop inside the application's (or a start-up not yet in
    // it) cannot end before this returns, so the close cannot run first: the
    // saves are made here, as the process may end as soon as this returns.
    if (QThread::currentThread()->loopLevel() != 1) {
        if (signalNumber == SIGTERM) {
            Q_EMIT EndingNow();
            if (gEnded != nullptr) {
                ::SetEvent(gEnded);
            }
        }
        return;
    }
    // Windows may end the process as soon as this returns: the close that
    // the listeners started (queued, as on every system) runs here first.
    waiting_ = true;
    QuitWatcher watcher;
    QCoreApplication::instance()->installEventFilter(&watcher);
    QTimer tick; // wakes the wait below to look at the clock
    tick.start(50);
    const QDeadlineTimer deadline(kEndWaitMs);
    while (!watcher.seen && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::instance()->removeEventFilter(&watcher);
    waiting_ = false;
    if (watcher.seen && gEnded != nullptr) {
        ::SetEvent(gEnded);
    }
}

#else

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::Deliver() {}
void TerminationSignals::EndSession(int signalNumber) {
    received_ = signalNumber;
    Q_EMIT Terminate(signalNumber);
}

#endif

} // namespace lumora
