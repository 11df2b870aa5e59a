// Time as the reader thread and the scripted backends see it. The system
// clock in the library; tests hand in a clock of their own so that seconds of
// receiver behaviour run in microseconds.
#pragma once

#include <chrono>

namespace penlynx {

using Micros = std::chrono::microseconds;
using Millis = std::chrono::milliseconds;

class Clock {
public:
    virtual ~Clock() = default;
    // Time since an arbitrary fixed point.
    virtual Micros Now() const = 0;
    // Returns at `until` or a little later; a test clock may return earlier,
    // so callers check Now() again.
    virtual void SleepUntil(Micros until) = 0;
};

// The steady system clock, shared by every instance.
Clock &SystemClock();

} // namespace penlynx
