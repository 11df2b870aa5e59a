// Work on a thread of its own whose result comes through a std::future: the
// thread posts its receiver an event once the result is there, and the
// receiver takes it on its own thread.
//
// No lock inside Qt stands between the threads: the future hands the result
// over (which ThreadSanitizer can follow; Qt's event queue it cannot), the
// event only says that it is there.
#pragma once

#include "platform/WorkerThread.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <chrono>
#include <future>
#include <utility>

namespace lumora {

// The type of the event a job's thread posts once its result is there.
QEvent::Type BackgroundJobDone();

template <typename T> class BackgroundJob {
public:
    BackgroundJob() = default;
    BackgroundJob(const BackgroundJob &) = delete;
    BackgroundJob &operator=(const BackgroundJob &) = delete;
    ~BackgroundJob() { Join(); }

    // Waits for the last job's thread, then runs work() on a new one, which
    // posts receiver a BackgroundJobDone() event when the result is there.
    // The receiver outlives the thread: its owner joins before it goes.
    template <typename Work> void Run(QObject *receiver, Work work) {
        Join();
        std::promise<T> promise;
        result_ = promise.get_future();
        // Made here, before the thread starts: the receiver reads the event
        // on its own thread, and the thread's start orders the two for
        // ThreadSanitizer (Qt's queue does not).
        auto *done = new QEvent(BackgroundJobDone());
        thread_.Start(
            [receiver, done, work = std::move(work), promise = std::move(promise)]() mutable {
                promise.set_value(work());
                QCoreApplication::postEvent(receiver, done);
            });
    }
    // A result not taken yet: the job runs, or its result waits.
    bool Pending() const { return result_.valid(); }
    // The result is there and not taken yet.
    bool Ready() const {
        return result_.valid() &&
               result_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }
    // Takes the result (once Ready()); nothing is pending after it.
    T Take() { return result_.get(); }
    void Join() { thread_.Join(); }

private:
    WorkerThread thread_;
    std::future<T> result_;
};

} // namespace lumora
