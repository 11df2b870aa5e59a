#include "StrokeSmoother.h"

namespace penlynx {

namespace {
// The three intermediate values along one axis; every division truncates
// toward zero, in the order written, as C++ integer division does.
std::array<int32_t, 3> SmoothAxis(int32_t v0, int32_t v1, int32_t target, int32_t divisor) {
    const int32_t a1 = v0 + (v1 - v0) / divisor;
    const int32_t a2 = a1 + ((target - v1) / divisor + v1 - a1) / divisor;
    const int32_t a3 = a2 + (2 * (target - v1) / divisor + v1 - a2) / divisor;
    return {a1, a2, a3};
}
} // namespace

SubPixelPoint CStrokeSmoother::Reset(int32_t x, int32_t y) {
    x0_ = x1_ = kScale * x + kOffset;
    y0_ = y1_ = kScale * y + kOffset;
    return {x, y};
}

std::array<SubPixelPoint, 3> CStrokeSmoother::Update(int32_t x, int32_t y) {
    const int32_t targetX = kScale * x + kOffset;
    const int32_t targetY = kScale * y + kOffset;
    const auto a = SmoothAxis(x0_, x1_, targetX, kDivisor);
    const auto b = SmoothAxis(y0_, y1_, targetY, kDivisor);
    x0_ = a[2];
    x1_ = targetX;
    y0_ = b[2];
    y1_ = targetY;
    return {SubPixelPoint{a[0] / kScale, b[0] / kScale},
            SubPixelPoint{a[1] / kScale, b[1] / kScale},
            SubPixelPoint{a[2] / kScale, b[2] / kScale}};
}

} // namespace penlynx
