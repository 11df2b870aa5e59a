// The tablet's two-sensor geometry: sensor counts to tablet coordinates and
// back. Coordinates are in tenths of the length unit; x is the distance from
// the sensor edge, y runs from kBaseY downward along it.
#pragma once

#include <array>
#include <cstdint>

namespace penlynx {

inline constexpr int32_t kBaseY = 2860;
inline constexpr uint16_t kMarkerCount = 0xBBBB;
inline constexpr uint16_t kPenUpLow = 22300;
inline constexpr uint16_t kPenUpHighB = 0x8500;
inline constexpr uint16_t kPenUpOffset = 20133;

struct TabletPoint {
    int32_t x; // -1 when the counts have no solution
    int32_t y;
};

// Solves the two sensor counts (after any pen-up subtraction) into a point.
TabletPoint SolveCounts(uint16_t countA, uint16_t countB);

struct SensorCounts {
    uint16_t a;
    uint16_t b;
};

// The counts whose solution lies nearest to (x, y); false when the point is
// outside what 16-bit counts can express. The inverse of SolveCounts for the
// simulated receiver and for tests.
bool EncodePoint(int32_t x, int32_t y, SensorCounts &counts);

// The four data bytes of a position record for a pen-down (or, with penUp,
// pen-up) point; false when the point cannot be expressed.
bool EncodePositionRecord(int32_t x, int32_t y, bool penUp, std::array<uint8_t, 4> &data);

} // namespace penlynx
