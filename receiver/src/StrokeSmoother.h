// Turns each new pen point of a stroke into three intermediate points that
// trail the pen, so that strokes come out rounded instead of polygonal.
#pragma once

#include <array>
#include <cstdint>

namespace penlynx {

struct SubPixelPoint {
    int32_t x;
    int32_t y;
    bool operator==(const SubPixelPoint &) const = default;
};

class CStrokeSmoother {
public:
    // Starts a stroke at (x, y) in sub-pixel units; returns the point unchanged.
    SubPixelPoint Reset(int32_t x, int32_t y);
    // Moves the stroke towards (x, y); returns three points along the way.
    std::array<SubPixelPoint, 3> Update(int32_t x, int32_t y);

private:
    static constexpr int32_t kDivisor = 3;
    static constexpr int32_t kScale = 9;
    static constexpr int32_t kOffset = 4;

    int32_t x0_ = 0, x1_ = 0, y0_ = 0, y1_ = 0;
};

} // namespace penlynx
