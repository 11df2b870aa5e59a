// What the ink renderer draws on. Colours are 0x00RRGGBB here; each surface
// converts to its own pixel format.
#pragma once

#include "penlynx.h"

#include <cstdint>
#include <variant>

namespace penlynx {

// A bitmap in memory, read and written directly (the fast path).
struct MemorySurface {
    uint32_t *pixels;
    int32_t width;
    int32_t height;
    int32_t strideWords;            // negative for a bitmap stored bottom row first
    uint32_t topByte = 0xFF000000u; // the top byte of every pixel written

    uint32_t Read(int32_t px, int32_t py) const { return Row(py)[px] & 0x00FFFFFFu; }
    void Write(int32_t px, int32_t py, uint32_t rgb) { Row(py)[px] = rgb | topByte; }
    uint32_t *Row(int32_t py) const { return pixels + static_cast<intptr_t>(py) * strideWords; }
};

// A surface that can only read and set single pixels through calls (the way a
// device context without direct access to its bits works). It ignores pixels
// outside itself.
class PixelSurface {
public:
    virtual ~PixelSurface() = default;
    virtual uint32_t Read(int32_t px, int32_t py) = 0;
    virtual void Write(int32_t px, int32_t py, uint32_t rgb) = 0;
};

// No surface: the stroke advances, nothing is read or written.
struct NullSurface {};

using DrawTarget = std::variant<NullSurface, MemorySurface, PixelSurface *>;

#ifndef _WIN32
// A caller's PenlynxSurface as a draw target. Anything that cannot be
// addressed safely (no pixels, negative sizes, a stride that is not whole
// 32-bit words or is shorter than a row) is no surface.
inline DrawTarget TargetFromSurface(const PenlynxSurface *surface) {
    if (surface == nullptr || surface->pixels == nullptr || surface->width < 0 ||
        surface->height < 0 || surface->stride % 4 != 0 || surface->stride / 4 < surface->width) {
        return NullSurface{};
    }
    return MemorySurface{surface->pixels, surface->width, surface->height, surface->stride / 4};
}
#endif

} // namespace penlynx
