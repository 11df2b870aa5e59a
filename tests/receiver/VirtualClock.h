// A clock for tests: time moves only when the reader thread sleeps, at once,
// up to a horizon the test sets. There the sleeper parks (really waiting a
// millisecond per call), so the test can look at what happened up to that
// moment, move the horizon on, or stop the library.
#pragma once

#include "Clock.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace penlynx::test {

class VirtualClock final : public Clock {
public:
    Micros Now() const override {
        std::lock_guard lock(mutex_);
        return now_;
    }
    void SleepUntil(Micros until) override {
        std::unique_lock lock(mutex_);
        if (until <= horizon_) {
            now_ = std::max(now_, until);
            return;
        }
        now_ = std::max(now_, horizon_);
        parked_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::milliseconds(1));
    }
    // Lets time run up to `horizon` without waiting for it to get there.
    void Allow(Micros horizon) {
        std::lock_guard lock(mutex_);
        horizon_ = horizon;
        parked_ = false;
        changed_.notify_all();
    }
    // Lets time run up to `horizon` and waits until a sleeper has parked
    // there; false if that did not happen within a few real seconds.
    bool RunUntil(Micros horizon) {
        std::unique_lock lock(mutex_);
        horizon_ = horizon;
        parked_ = false;
        changed_.notify_all();
        return changed_.wait_for(lock, std::chrono::seconds(20),
                                 [&] { return parked_ && now_ == horizon_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Micros now_{0};
    Micros horizon_{0};
    bool parked_ = false;
};

} // namespace penlynx::test
