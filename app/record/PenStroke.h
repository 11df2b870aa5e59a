// How pen points are kept: the points of a stroke packed into one blob, 8
// bytes a point (ms since the question started as uint32, then x and y in
// ink pixels as int16, little-endian). A row per stroke piece instead of a
// row per point keeps the writer light at 20 000 points a second and the
// file a third of the size.
#pragma once

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace lumora {

inline constexpr int kPenPointBytes = 8;

struct PenSample {
    int ms = 0;
    int x = 0;
    int y = 0;
    bool down = true; // false: the pen-up that ended a stroke (no position)
    bool operator==(const PenSample &) const = default;
};

// Appends one point; ms below 0 is kept as 0, coordinates are clamped to 16 bits.
void AppendPenPoint(QByteArray &points, int64_t ms, int x, int y);

// The points of a blob in order; a trailing partial point is ignored.
std::vector<PenSample> UnpackPenPoints(const QByteArray &points);

} // namespace lumora
