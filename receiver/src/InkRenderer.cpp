#include "InkRenderer.h"

#include <algorithm>
#include <cstdlib>
#include <type_traits>

namespace penlynx {

namespace {

// Uniform pixel access over the three kinds of target, so that the stamp and
// line code is written once and compiled without indirection for memory.
uint32_t ReadPixel(MemorySurface &s, int32_t px, int32_t py) {
    return s.Read(px, py);
}
void WritePixel(MemorySurface &s, int32_t px, int32_t py, uint32_t rgb) {
    s.Write(px, py, rgb);
}
uint32_t ReadPixel(PixelSurface *s, int32_t px, int32_t py) {
    return s->Read(px, py);
}
void WritePixel(PixelSurface *s, int32_t px, int32_t py, uint32_t rgb) {
    s->Write(px, py, rgb);
}
// Without a surface every pixel reads as ink, so no blend is attempted.
uint32_t ReadPixel(NullSurface &, int32_t, int32_t) {
    return CInkRenderer::kInk;
}
void WritePixel(NullSurface &, int32_t, int32_t, uint32_t) {}

uint32_t BlendChannel(uint32_t old, uint32_t ink, int shift, int coverage) {
    const int o = static_cast<int>((old >> shift) & 0xFF);
    const int i = static_cast<int>((ink >> shift) & 0xFF);
    // Arithmetic shift: the quotient is rounded down, also when negative.
    return static_cast<uint32_t>(o + (((i - o) * coverage) >> 8)) << shift;
}

uint32_t Blend(uint32_t old, uint32_t ink, int coverage) {
    if (ink == 0) {
        // Toward black each channel loses ceil(old * coverage / 256), the
        // same as the general form with its quotient rounded down. Red and
        // blue are done in one product: each field stays below 16 bits.
        const auto v = static_cast<uint32_t>(coverage);
        const uint32_t rb = old & 0xFF00FFu;
        const uint32_t g = old & 0x00FF00u;
        const uint32_t rbCut = ((rb * v + 0xFF00FFu) >> 8) & 0xFF00FFu;
        const uint32_t gCut = ((g * v + 0x00FF00u) >> 16) << 8;
        return (rb - rbCut) | (g - gCut);
    }
    return BlendChannel(old, ink, 16, coverage) | BlendChannel(old, ink, 8, coverage) |
           BlendChannel(old, ink, 0, coverage);
}

// One tile entry with coverage onto the pixel below it.
template <class Surface>
void Apply(Surface &surface, int32_t px, int32_t py, int coverage, uint32_t ink) {
    if (coverage == 255) {
        WritePixel(surface, px, py, ink);
        return;
    }
    const uint32_t old = ReadPixel(surface, px, py);
    if (old != ink) {
        WritePixel(surface, px, py, Blend(old, ink, coverage));
    }
}

} // namespace

CInkRenderer::CInkRenderer(int32_t width, int32_t height)
    : brush_(CInkBrush::Standard()), width_(std::max(width, 0)), height_(std::max(height, 0)),
      placement_(-8 * brush_.CentreOffset()) {}

CInkRenderer::Clip CInkRenderer::ClipFor(const MemorySurface &surface) const {
    // A bitmap smaller than the drawing size is never written past its edge.
    return {std::min(width_, surface.width), std::min(height_, surface.height)};
}

void CInkRenderer::StampAt(SubPixelPoint point) {
    std::visit(
        [&](auto &surface) {
            Stamp(surface, ClipFor(surface), point.x + placement_, point.y + placement_);
        },
        target_);
}

void CInkRenderer::LineTo(SubPixelPoint point) {
    LinesThrough({&point, 1});
}

void CInkRenderer::LinesThrough(std::span<const SubPixelPoint> points) {
    std::visit(
        [&](auto &surface) {
            const Clip clip = ClipFor(surface);
            for (const SubPixelPoint &point : points) {
                Line(surface, clip, point.x + placement_, point.y + placement_);
            }
        },
        target_);
}

template <class Surface>
void CInkRenderer::Stamp(Surface &surface, Clip clip, int32_t sx, int32_t sy) {
    last_ = {sx, sy};
    const int side = brush_.Side();
    const int32_t originX = sx >> CInkBrush::kPhaseShift;
    const int32_t originY = sy >> CInkBrush::kPhaseShift;
    const int phaseX = sx & CInkBrush::kPhaseMask;
    const int phaseY = sy & CInkBrush::kPhaseMask;
    // Most stamps lie wholly inside: only the entries with coverage are visited.
    if (originX >= 0 && originY >= 0 && int64_t{originX} + side <= clip.right &&
        int64_t{originY} + side <= clip.bottom) {
        if constexpr (std::is_same_v<Surface, MemorySurface>) {
            // Straight into the words, with the surface's fields in locals:
            // the stores cannot change them.
            uint32_t *const origin = surface.Row(originY) + originX;
            const intptr_t stride = surface.strideWords;
            const uint32_t top = surface.topByte;
            for (const CInkBrush::Tap &tap : brush_.Taps(phaseX, phaseY)) {
                uint32_t &word = origin[tap.row * stride + tap.col];
                if (tap.coverage == 255) {
                    word = kInk | top;
                } else if (const uint32_t old = word & 0x00FFFFFFu; old != kInk) {
                    word = Blend(old, kInk, tap.coverage) | top;
                }
            }
        } else if constexpr (!std::is_same_v<Surface, NullSurface>) {
            for (const CInkBrush::Tap &tap : brush_.Taps(phaseX, phaseY)) {
                Apply(surface, originX + tap.col, originY + tap.row, tap.coverage, kInk);
            }
        }
        return;
    }
    const uint8_t *tile = brush_.Tile(phaseX, phaseY);

    // In 64 bits: the clip edge may be anywhere up to INT32_MAX, the origin
    // anywhere the clamped pen coordinates put it.
    const auto inTile = [side](int64_t distance) {
        return static_cast<int>(std::clamp<int64_t>(distance, 0, side));
    };
    const int firstRow = inTile(-int64_t{originY});
    const int lastRow = inTile(int64_t{clip.bottom} - originY);
    const int firstCol = inTile(-int64_t{originX});
    const int lastCol = inTile(int64_t{clip.right} - originX);
    for (int row = firstRow; row < lastRow; ++row) {
        const int32_t py = originY + row;
        for (int col = firstCol; col < lastCol; ++col) {
            const int coverage = tile[row * side + col];
            if (coverage != 0) {
                Apply(surface, originX + col, py, coverage, kInk);
            }
        }
    }
}

template <class Surface>
void CInkRenderer::Line(Surface &surface, Clip clip, int32_t tx, int32_t ty) {
    const int32_t fx = last_.x;
    const int32_t fy = last_.y;
    const int32_t dx = tx - fx;
    const int32_t dy = ty - fy;
    const int32_t kx = dx < 0 ? -1 : 1;
    const int32_t ky = dy < 0 ? -1 : 1;
    const int32_t adx = std::abs(dx);
    const int32_t ady = std::abs(dy);

    // Bresenham along the major axis; a stamp on every kStep-th step, the
    // first after kStep - 1 steps. The start point (the last stamp) is not
    // stamped again, and the steps after the last stamp change nothing.
    const bool alongX = adx >= ady;
    const int32_t steps = alongX ? adx : ady;
    const int32_t across = alongX ? ady : adx;
    const int32_t majorStart = alongX ? fx : fy;
    const int32_t majorSign = alongX ? kx : ky;
    const int32_t minorSign = alongX ? ky : kx;
    const int32_t straight = 2 * across;
    const int32_t diagonal = 2 * (across - steps);
    int32_t error = 2 * across - steps;
    int32_t minor = alongX ? fy : fx;
    int32_t step = 0;
    for (int32_t stamp = kStep - 1; stamp < steps; stamp += kStep) {
        for (; step <= stamp; ++step) {
            const bool moves = error > 0;
            error += moves ? diagonal : straight;
            minor += moves ? minorSign : 0;
        }
        const int32_t major = majorStart + majorSign * (stamp + 1);
        if (alongX) {
            Stamp(surface, clip, major, minor);
        } else {
            Stamp(surface, clip, minor, major);
        }
    }
}

} // namespace penlynx
