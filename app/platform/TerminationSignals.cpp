#include "platform/TerminationSignals.h"

#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
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

#else

TerminationSignals::TerminationSignals(QObject *parent) : QObject(parent) {}
TerminationSignals::~TerminationSignals() = default;
void TerminationSignals::Deliver() {}

#endif

} // namespace lumora
