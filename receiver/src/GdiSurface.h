// Drawing into a Windows device context: straight into the bits of a 32-bit
// DIB section selected into it, otherwise pixel by pixel through GDI. Both
// give the same pixels.
#pragma once

#include "PixelSurface.h"

#include <windows.h>

namespace penlynx {

// One pixel at a time: GetPixel, and a 1 x 1 opaque rectangle for a write,
// which leaves the device context's background colour set to that colour.
// Coordinates are logical, so the device context's mapping and clipping apply.
class GdiSurface final : public PixelSurface {
public:
    explicit GdiSurface(HDC dc) : dc_(dc) {}
    uint32_t Read(int32_t px, int32_t py) override;
    void Write(int32_t px, int32_t py, uint32_t rgb) override;

private:
    HDC dc_;
};

// What stays true of a bitmap while it exists: whether its bits can be drawn
// into and where its rows lie. Kept per drawing slot, so that drawing the
// next point into the same bitmap asks GDI only about the device context.
// A bitmap is known by its handle: GDI gives a slot of its handle table a new
// value each time it is reused, so a new bitmap does not pass for a deleted one.
struct DibCache {
    HGDIOBJ bitmap = nullptr; // the bitmap described, null for none
    bool direct = false;      // a 32-bit DIB section with RGB words
    MemorySurface bits{};     // its pixels, top row first, when direct
};

// The bits of the 32-bit DIB section selected into dc, when GDI would put
// pixel (x, y) at row y, column x of it (no mapping, mirroring or clipping in
// the way); false otherwise. The bitmap is described once and kept in cache
// while it stays selected; the device context is checked at every call.
bool DibSectionBits(HDC dc, MemorySurface &bits, DibCache &cache);
// The same without a cache: every call describes the bitmap afresh.
bool DibSectionBits(HDC dc, MemorySurface &bits);

// What SDKDraw draws into for dc: nothing for a null dc, the DIB section's
// bits where DibSectionBits allows, otherwise `gdi`, which must outlive the
// returned target.
DrawTarget TargetFromDeviceContext(HDC dc, GdiSurface &gdi, DibCache &cache);
DrawTarget TargetFromDeviceContext(HDC dc, GdiSurface &gdi);

} // namespace penlynx
