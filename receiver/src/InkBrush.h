// A round, anti-aliased brush, precomputed as one coverage tile per 1/8-pixel
// phase on each axis.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
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

    // One tile entry with coverage (1..255) at tile row and column.
    struct Tap {
        uint8_t row;
        uint8_t col;
        uint8_t coverage;
    };
    // The entries of the phase's tile that have coverage, row by row: what a
    // stamp that lies wholly inside the clip visits.
    std::span<const Tap> Taps(int phaseX, int phaseY) const {
        const size_t phase = static_cast<size_t>(phaseX * kPhases + phaseY);
        return {taps_.data() + tapStart_[phase], taps_.data() + tapStart_[phase + 1]};
    }

private:
    int side_;
    int centreOffset_;
    std::vector<uint8_t> coverage_;
    std::vector<Tap> taps_;
    std::vector<size_t> tapStart_; // per phase, and the end
};

} // namespace penlynx
