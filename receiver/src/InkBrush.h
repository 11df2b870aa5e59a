// A round, anti-aliased brush, precomputed as one coverage tile per 1/8-pixel
// phase on each axis.
#pragma once

#include <cstdint>
#include <vector>

namespace penlynx {

class CInkBrush {
public:
    static constexpr int kPhases = 8;
    static constexpr int kPhaseShift = 3;
    static constexpr int kPhaseMask = 7;

    explicit CInkBrush(int size);

    // The brush every renderer draws with; built once and shared.
    static const CInkBrush &Standard();

    int Side() const { return side_; }
    int CentreOffset() const { return centreOffset_; }
    // Coverage 0..255 of the tile for phase (px, py), Side() x Side(), row by row.
    const uint8_t *Tile(int phaseX, int phaseY) const {
        return coverage_.data() + (phaseX * kPhases + phaseY) * side_ * side_;
    }

private:
    int side_;
    int centreOffset_;
    std::vector<uint8_t> coverage_;
};

} // namespace penlynx
