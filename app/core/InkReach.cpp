#include "core/InkReach.h"

#include <algorithm>
#include <climits>

namespace lumora {

namespace {

// The library's smoothing constants and brush: sub-pixel units of 1/8 pixel,
// state scaled by 9 with an offset of 4, thirds; a 5-pixel tile centred by
// 16 sub-pixel units; a line's last stamp at most 8 units short of its end.
constexpr int32_t kSub = 8;
constexpr int32_t kScale = 9;
constexpr int32_t kOffset = 4;
constexpr int32_t kDivisor = 3;
constexpr int32_t kPlacement = -16;
constexpr int32_t kTile = 5;
constexpr int32_t kStampSlack = 8;

struct Axis {
    int32_t a1, a2, a3;
};

Axis Smooth(int32_t v0, int32_t v1, int32_t target) {
    const int32_t a1 = v0 + (v1 - v0) / kDivisor;
    const int32_t a2 = a1 + ((target - v1) / kDivisor + v1 - a1) / kDivisor;
    const int32_t a3 = a2 + (2 * (target - v1) / kDivisor + v1 - a2) / kDivisor;
    return {a1, a2, a3};
}

// Pixels covered by brush tiles placed anywhere from low to high (placed
// sub-pixel units, inclusive) on one axis.
void PixelSpan(int32_t low, int32_t high, int &first, int &last) {
    first = low >> 3;
    last = (high >> 3) + kTile - 1;
}

} // namespace

QRect InkReach::Next(int x, int y, int kind) {
    const int32_t sx = kSub * x;
    const int32_t sy = kSub * y;
    int32_t lowX = 0, highX = 0, lowY = 0, highY = 0;
    if (kind == 1) {
        begun_ = true;
        x0_ = x1_ = kScale * sx + kOffset;
        y0_ = y1_ = kScale * sy + kOffset;
        endX_ = lowX = highX = sx + kPlacement;
        endY_ = lowY = highY = sy + kPlacement;
    } else if (kind == 2) {
        if (!begun_) {
            return QRect(QPoint(INT_MIN / 2, INT_MIN / 2), QPoint(INT_MAX / 2, INT_MAX / 2));
        }
        const Axis a = Smooth(x0_, x1_, kScale * sx + kOffset);
        const Axis b = Smooth(y0_, y1_, kScale * sy + kOffset);
        x0_ = a.a3;
        x1_ = kScale * sx + kOffset;
        y0_ = b.a3;
        y1_ = kScale * sy + kOffset;
        // The lines start at the last stamp, near the previous end, and run
        // through the three smoothed points.
        const int32_t px[] = {a.a1 / kScale + kPlacement, a.a2 / kScale + kPlacement,
                              a.a3 / kScale + kPlacement};
        const int32_t py[] = {b.a1 / kScale + kPlacement, b.a2 / kScale + kPlacement,
                              b.a3 / kScale + kPlacement};
        lowX = std::min({endX_ - kStampSlack, px[0], px[1], px[2]});
        highX = std::max({endX_ + kStampSlack, px[0], px[1], px[2]});
        lowY = std::min({endY_ - kStampSlack, py[0], py[1], py[2]});
        highY = std::max({endY_ + kStampSlack, py[0], py[1], py[2]});
        endX_ = px[2];
        endY_ = py[2];
    } else {
        return QRect();
    }
    int left = 0, right = 0, top = 0, bottom = 0;
    PixelSpan(lowX, highX, left, right);
    PixelSpan(lowY, highY, top, bottom);
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace lumora
