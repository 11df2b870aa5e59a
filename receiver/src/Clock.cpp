#include "Clock.h"

#include <thread>

namespace penlynx {

namespace {

class SteadyClock final : public Clock {
public:
    Micros Now() const override {
        return std::chrono::duration_cast<Micros>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void SleepUntil(Micros until) override {
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(until));
    }
};

} // namespace

Clock &SystemClock() {
    static SteadyClock clock;
    return clock;
}

} // namespace penlynx
