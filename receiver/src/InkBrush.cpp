#include "InkBrush.h"

#include <cmath>

namespace penlynx {

CInkBrush::CInkBrush(int size)
    : side_(size + 2), centreOffset_((size + 1) / 2),
      coverage_(static_cast<size_t>(kPhases * kPhases * (size + 2) * (size + 2))) {
    const double radius = (size + 1) * 0.5;
    uint8_t *out = coverage_.data();
    for (int px = 0; px < kPhases; ++px) {
        for (int py = 0; py < kPhases; ++py) {
            for (int row = 0; row < side_; ++row) {
                for (int col = 0; col < side_; ++col) {
                    const double dx = radius + px / 8.0 - 0.5 - col;
                    const double dy = radius + py / 8.0 - 0.5 - row;
                    // Solid up to radius - 2 from the centre, then a Gaussian
                    // fall-off over two units, nothing from the radius on.
                    const double t = std::sqrt(dx * dx + dy * dy) - radius + 2;
                    int value = 0;
                    if (t <= 0) {
                        value = 255;
                    } else if (t < 2) {
                        value = static_cast<int>(255 * std::exp(-t * t));
                    }
                    *out++ = static_cast<uint8_t>(value);
                }
            }
        }
    }
    for (int phase = 0; phase < kPhases * kPhases; ++phase) {
        tapStart_.push_back(taps_.size());
        const uint8_t *tile = coverage_.data() + phase * side_ * side_;
        for (int row = 0; row < side_; ++row) {
            for (int col = 0; col < side_; ++col) {
                if (const uint8_t coverage = tile[row * side_ + col]; coverage != 0) {
                    taps_.push_back(
                        {static_cast<uint8_t>(row), static_cast<uint8_t>(col), coverage});
                }
            }
        }
    }
    tapStart_.push_back(taps_.size());
}

const CInkBrush &CInkBrush::Standard() {
    static const CInkBrush brush(3);
    return brush;
}

} // namespace penlynx
