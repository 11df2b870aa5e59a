// Handwriting-like pen input for the drawing benchmarks: the pen moves 2 to 3
// pixels between points and is lifted every hundred points or so.
#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace bench {

struct PenPoint {
    int x, y, kind; // kind 1 begins a stroke, 2 continues it
};

inline std::vector<PenPoint> HandwritingStrokes(int width, int height, size_t count,
                                                unsigned seed = 7) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<PenPoint> points;
    points.reserve(count);
    double x = width / 2.0, y = height / 2.0, heading = 0;
    int untilLift = 0;
    while (points.size() < count) {
        int kind = 2;
        if (untilLift-- <= 0) {
            untilLift = 80 + static_cast<int>(unit(random) * 40);
            x = 20 + unit(random) * (width - 40);
            y = 20 + unit(random) * (height - 40);
            kind = 1;
        }
        heading += (unit(random) - 0.5) * 0.8;
        const double step = 2.0 + unit(random);
        x = std::clamp(x + step * std::cos(heading), 5.0, width - 5.0);
        y = std::clamp(y + step * std::sin(heading), 5.0, height - 5.0);
        points.push_back({static_cast<int>(x), static_cast<int>(y), kind});
    }
    return points;
}

} // namespace bench
