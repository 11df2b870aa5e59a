// Records the library's callbacks, which carry no user pointer, in one
// process-wide log that tests reset and inspect.
#pragma once

#include "penlynx.h"

#include <cstdint>
#include <mutex>
#include <ostream>
#include <utility>
#include <vector>

namespace penlynx::test {

struct Call {
    enum Kind { Tablet, State } kind;
    int32_t a, b, c, d;
    bool operator==(const Call &) const = default;
};

inline Call TabletCall(int32_t first, int32_t second, int32_t id, int32_t type) {
    return {Call::Tablet, first, second, id, type};
}
inline Call StateCall(int32_t state) {
    return {Call::State, state, PENLYNX_EXTENT_X, PENLYNX_EXTENT_Y, 0};
}

class CallbackRecorder {
public:
    static std::vector<Call> Take() {
        std::lock_guard lock(mutex_);
        return std::exchange(calls_, {});
    }
    static void PENLYNX_CALL OnTablet(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
        std::lock_guard lock(mutex_);
        calls_.push_back(TabletCall(first, second, id, type));
    }
    static void PENLYNX_CALL OnState(int32_t state, int32_t extentX, int32_t extentY) {
        std::lock_guard lock(mutex_);
        calls_.push_back({Call::State, state, extentX, extentY, 0});
    }

private:
    static inline std::mutex mutex_;
    static inline std::vector<Call> calls_;
};

inline void PrintTo(const Call &call, std::ostream *os) {
    *os << (call.kind == Call::Tablet ? "Tablet(" : "State(") << call.a << ", " << call.b << ", "
        << call.c << ", " << call.d << ")";
}

} // namespace penlynx::test
