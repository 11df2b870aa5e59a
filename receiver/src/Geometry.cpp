#include "Geometry.h"

#include <cmath>

namespace penlynx {

namespace {

constexpr double kEdgeLength = 350;
constexpr double kSensorSpacing = 78.5;
constexpr double kCountFactor = 1.0 / 6000;
constexpr double kCountScale = 341;
constexpr double kOutputScale = 10;

// Sensor positions along the edge, computed once when the library loads.
const double kSensorA = (kEdgeLength - kSensorSpacing) * 0.5;
const double kSensorB = kSensorSpacing + kSensorA;

// Written out in the receiver's evaluation order: the result is compared to
// the last bit with what the tablets were calibrated against.
double CountToLength(uint16_t count) {
    return count * kCountFactor * kCountScale - 164.13 + 2.4 + 3.39;
}

double LengthToCount(double length) {
    return (length - 3.39 - 2.4 + 164.13) / kCountScale / kCountFactor;
}

} // namespace

TabletPoint SolveCounts(uint16_t countA, uint16_t countB) {
    const double dA = CountToLength(countA);
    const double dB = CountToLength(countB);
    if (dA < 0 || dB < 0) {
        return {-1, -1};
    }
    const double along =
        (dA * dA - dB * dB + kSensorB * kSensorB - kSensorA * kSensorA) / (2 * kSensorSpacing);
    const double e = dA * dA - (along - kSensorA) * (along - kSensorA);
    if (e < 0) {
        return {-1, -1};
    }
    const auto x = static_cast<int32_t>(std::sqrt(e) * kOutputScale);
    const auto y = kBaseY - static_cast<int32_t>(along * kOutputScale);
    return {x, y};
}

bool EncodePoint(int32_t x, int32_t y, SensorCounts &counts) {
    if (x < 0) {
        return false;
    }
    const double distance = x / kOutputScale;
    const double along = (kBaseY - y) / kOutputScale;
    const double dA = std::hypot(distance, along - kSensorA);
    const double dB = std::hypot(distance, along - kSensorB);
    const double a = std::round(LengthToCount(dA));
    const double b = std::round(LengthToCount(dB));
    if (a < 0 || a > 0xFFFF || b < 0 || b > 0xFFFF) {
        return false;
    }
    counts = {static_cast<uint16_t>(a), static_cast<uint16_t>(b)};
    return true;
}

bool EncodePositionRecord(int32_t x, int32_t y, bool penUp, std::array<uint8_t, 4> &data) {
    SensorCounts counts{};
    if (!EncodePoint(x, y, counts)) {
        return false;
    }
    uint32_t a = counts.a;
    uint32_t b = counts.b;
    if (penUp) {
        a += kPenUpOffset;
        b += kPenUpOffset;
    }
    // The record must classify as what it encodes: never a marker, a pen-down
    // point never in the pen-up range, a pen-up point always in it.
    const bool inPenUpRange = b >= kPenUpLow && a >= kPenUpLow && b < kPenUpHighB;
    if (a > 0xFFFF || b > 0xFFFF || b == kMarkerCount || inPenUpRange != penUp) {
        return false;
    }
    // Count A is bytes 0 (low) and 3 (high), count B bytes 1 (low) and 2 (high).
    data = {static_cast<uint8_t>(a & 0xFF), static_cast<uint8_t>(b & 0xFF),
            static_cast<uint8_t>(b >> 8), static_cast<uint8_t>(a >> 8)};
    return true;
}

} // namespace penlynx
