#include "Reader.h"

#include "Backends.h"
#include "Capture.h"
#include "Decoder.h"
#include "Diagnostics.h"
#include "Receiver.h"
#include "Search.h"

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <system_error>

namespace penlynx {

namespace {

bool Running(const CReceiver &receiver) {
    return receiver.reading.load() && receiver.keepRunning.load();
}

// Waits for `duration` in slices; false as soon as the thread is asked to end.
bool PauseUnlessStopped(CReceiver &receiver, Micros duration) {
    Clock &clock = *receiver.clock;
    const Micros until = clock.Now() + duration;
    for (;;) {
        if (!receiver.keepRunning.load()) {
            return false;
        }
        const Micros now = clock.Now();
        if (now >= until) {
            return true;
        }
        clock.SleepUntil(std::min(until, now + receiver.timing.slice));
    }
}

enum class WaitEnd { Report, Silent, Failed, Stopped };

// Waits up to the read wait for the pending read, one slice at a time.
WaitEnd WaitForReport(CReceiver &receiver, HidDevice &device, size_t &bytesRead) {
    Clock &clock = *receiver.clock;
    const Micros deadline = clock.Now() + receiver.timing.readWait;
    for (;;) {
        const Micros now = clock.Now();
        if (now >= deadline) {
            return WaitEnd::Silent;
        }
        switch (device.WaitRead(std::min(receiver.timing.slice, deadline - now), bytesRead)) {
        case ReadOutcome::Completed:
            return WaitEnd::Report;
        case ReadOutcome::Failed:
            return WaitEnd::Failed;
        case ReadOutcome::TimedOut:
            break;
        }
        if (!Running(receiver)) {
            return WaitEnd::Stopped;
        }
    }
}

void ReportLoss(CReceiver &receiver, CaptureWriter &capture) {
    receiver.device.reset();
    receiver.statusFlags.fetch_and(~(FLAG_OPEN | FLAG_TRAFFIC));
    receiver.reading.store(false);
    capture.Lost();
    receiver.ReportState(STATE_DISCONNECTED);
}

// Reads reports while the receiver is open and the thread is not stopped.
// Nothing here allocates: one buffer, one read in flight.
void ReadWhileOpen(CReceiver &receiver, ReportBuffer &buffer, CaptureWriter &capture) {
    HidDevice &device = *receiver.device;
    receiver.statusFlags.fetch_or(FLAG_OPEN);
    receiver.reading.store(true);
    receiver.ReportState(STATE_IDLE);
    capture.Opened();
    size_t length = device.InputReportLength();
    if (length == 0 || length > buffer.size()) {
        length = buffer.size();
    }
    while (Running(receiver)) {
        buffer.fill(0);
        device.BeginRead(buffer.data(), length);
        size_t bytesRead = 0;
        const WaitEnd end = WaitForReport(receiver, device, bytesRead);
        if (end == WaitEnd::Report) {
            capture.Report(buffer.data(), std::min(bytesRead, length));
            DispatchReport(receiver, buffer);
            continue;
        }
        device.CancelRead();
        if (end == WaitEnd::Stopped) {
            return;
        }
        if (!device.Present()) {
            ReportLoss(receiver, capture);
            return;
        }
        if (end == WaitEnd::Silent) {
            receiver.statusFlags.store((receiver.statusFlags.load() & ~FLAG_TRAFFIC) | FLAG_OPEN);
            receiver.ReportState(STATE_IDLE);
        } else {
            // A failed read of a present receiver delivered nothing; a slice's
            // pause keeps a read that fails at once from spinning.
            PauseUnlessStopped(receiver, receiver.timing.slice);
        }
    }
}

int SearchOnce(CReceiver &receiver) {
    try {
        return SearchForReceiver(receiver);
    } catch (const std::exception &error) {
        Diagnose(std::string("receiver search failed: ") + error.what());
        receiver.device.reset();
        return PENLYNX_SEARCH_NONE;
    }
}

// The instance whose reader the current thread is, or null.
thread_local const CReceiver *t_readerOf = nullptr;

void RunReader(CReceiver &receiver) {
    auto buffer = std::make_unique<ReportBuffer>();
    receiver.statusFlags.store(0);
    receiver.device.reset();
    const char *capturePath = std::getenv("PENLYNX_CAPTURE");
    CaptureWriter capture(capturePath != nullptr ? capturePath : "", *receiver.clock);
    while (PauseUnlessStopped(receiver, receiver.timing.searchPause)) {
        if (SearchOnce(receiver) != PENLYNX_SEARCH_FOUND) {
            receiver.device.reset();
            continue;
        }
        ReadWhileOpen(receiver, *buffer, capture);
    }
    // Only this thread uses the receiver and its backend now: close them at
    // once rather than when the instance is destroyed, which after a release
    // from a callback waits for the caller's next call.
    receiver.device.reset();
    receiver.platform.reset();
}

void ReaderThreadMain(CReceiver *receiver) {
    t_readerOf = receiver;
    try {
        RunReader(*receiver);
    } catch (const std::exception &error) {
        Diagnose(std::string("reader thread ended: ") + error.what());
    }
    // The instance may be destroyed from here on.
    receiver->readerFinished.store(true);
}

} // namespace

int SearchForReceiver(CReceiver &receiver) {
    receiver.statusFlags.store(0);
    // Closed before the backend may be replaced: a device can refer to it.
    receiver.device.reset();
    return SearchReceiver(receiver, PlatformForSearch(receiver));
}

bool StartReader(CReceiver &receiver) {
    receiver.reading.store(true);
    receiver.keepRunning.store(true);
    try {
        receiver.reader = std::thread(ReaderThreadMain, &receiver);
    } catch (const std::system_error &) {
        receiver.reading.store(false);
        receiver.keepRunning.store(false);
        return false;
    }
    return true;
}

void RequestStop(CReceiver &receiver) {
    receiver.released.store(true);
    receiver.reading.store(false);
    receiver.keepRunning.store(false);
}

void JoinReader(CReceiver &receiver) {
    if (receiver.reader.joinable()) {
        receiver.reader.join();
    }
}

bool OnReaderThread() {
    return t_readerOf != nullptr;
}

} // namespace penlynx
