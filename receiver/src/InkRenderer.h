// Draws strokes with the anti-aliased round brush: stamps positioned to 1/8
// pixel, one per pixel along straight lines between smoothed points, blended
// onto what the surface already shows.
#pragma once

#include "InkBrush.h"
#include "PixelSurface.h"
#include "StrokeSmoother.h"

#include <cstdint>
#include <span>

namespace penlynx {

class CInkRenderer {
public:
    // Ink colour, 0x00RRGGBB.
    static constexpr uint32_t kInk = 0x000000;
    // Sub-pixel distance between two stamps along a line: one pixel.
    static constexpr int32_t kStep = 8;

    CInkRenderer(int32_t width, int32_t height);

    // The surface of the following stamps and lines; not owned.
    void Attach(const DrawTarget &target) { target_ = target; }

    // Stamps the brush centred on a smoothed point.
    void StampAt(SubPixelPoint point);
    // Draws from the last stamp to a smoothed point.
    void LineTo(SubPixelPoint point);
    // LineTo through each point in turn.
    void LinesThrough(std::span<const SubPixelPoint> points);

    SubPixelPoint LastStamp() const { return last_; }

private:
    struct Clip {
        int32_t right;
        int32_t bottom;
    };

    template <class Surface> void Stamp(Surface &surface, Clip clip, int32_t sx, int32_t sy);
    template <class Surface> void Line(Surface &surface, Clip clip, int32_t tx, int32_t ty);
    Clip ClipFor(const MemorySurface &surface) const;
    Clip ClipFor(PixelSurface *) const { return {width_, height_}; }
    Clip ClipFor(const NullSurface &) const { return {width_, height_}; }

    const CInkBrush &brush_;
    int32_t width_;
    int32_t height_;
    int32_t placement_;
    DrawTarget target_;
    SubPixelPoint last_{0, 0};
};

} // namespace penlynx
