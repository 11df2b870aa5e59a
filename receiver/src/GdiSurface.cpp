#include "GdiSurface.h"

namespace penlynx {

namespace {

// COLORREF is 0x00BBGGRR, the renderer's colours 0x00RRGGBB: the same swap
// converts either way.
uint32_t SwapRedBlue(uint32_t colour) {
    return ((colour & 0xFFu) << 16) | (colour & 0xFF00u) | ((colour >> 16) & 0xFFu);
}

bool IdentityMapping(HDC dc) {
    POINT viewport{};
    POINT window{};
    if (GetMapMode(dc) != MM_TEXT || GetLayout(dc) != 0 || !GetViewportOrgEx(dc, &viewport) ||
        viewport.x != 0 || viewport.y != 0 || !GetWindowOrgEx(dc, &window) || window.x != 0 ||
        window.y != 0) {
        return false;
    }
    // In the compatible mode no world transform but the identity can be set,
    // and Windows lets a device context return to it only after a reset to
    // the identity. (Wine lets it return with its transform, a state Windows
    // does not allow.)
    if (GetGraphicsMode(dc) == GM_COMPATIBLE) {
        return true;
    }
    XFORM transform{};
    return GetWorldTransform(dc, &transform) && transform.eM11 == 1.0f && transform.eM12 == 0.0f &&
           transform.eM21 == 0.0f && transform.eM22 == 1.0f && transform.eDx == 0.0f &&
           transform.eDy == 0.0f;
}

// Whether the clip region leaves the whole bitmap drawable. Without a clip
// or meta region only the bitmap's own edges clip, which is asked cheaply;
// otherwise the clip box tells.
bool Unclipped(HDC dc, LONG width, LONG height) {
    // One scratch region for the process; SDKDraw runs under the exports' lock.
    static const HRGN scratch = CreateRectRgn(0, 0, 0, 0);
    if (scratch != nullptr && GetClipRgn(dc, scratch) == 0 && GetMetaRgn(dc, scratch) == 0) {
        return true;
    }
    RECT box{};
    return GetClipBox(dc, &box) == SIMPLEREGION && box.left <= 0 && box.top <= 0 &&
           box.right >= width && box.bottom >= height;
}

enum class RowOrder { TopFirst, BottomFirst, Unknown };

// Where the first stored row shows. The header GetObject reports has a
// positive height for either row order, so GDI is asked whether the pixel it
// shows at (0, 0) changes with the first stored word; the word is restored at
// once. Comparing before and after holds whatever the colours. Needs a device
// context that maps and clips nothing.
RowOrder FirstRow(HDC dc, uint32_t *bits, LONG height) {
    if (height == 1) {
        return RowOrder::TopFirst;
    }
    const uint32_t saved = bits[0];
    const COLORREF before = GetPixel(dc, 0, 0);
    bits[0] = saved ^ 1u;
    const COLORREF after = GetPixel(dc, 0, 0);
    bits[0] = saved;
    if (before == CLR_INVALID || after == CLR_INVALID) {
        return RowOrder::Unknown;
    }
    return before != after ? RowOrder::TopFirst : RowOrder::BottomFirst;
}

// The bits of a 32-bit RGB DIB section as stored (first row first); false for
// any other bitmap.
bool StoredBits(HGDIOBJ bitmap, MemorySurface &bits) {
    DIBSECTION dib{};
    // A device-dependent bitmap fills only the BITMAP part.
    if (GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib) {
        return false;
    }
    const DWORD compression = dib.dsBmih.biCompression;
    const bool rgb =
        compression == BI_RGB || (compression == BI_BITFIELDS && dib.dsBitfields[0] == 0xFF0000 &&
                                  dib.dsBitfields[1] == 0xFF00 && dib.dsBitfields[2] == 0xFF);
    const LONG width = dib.dsBm.bmWidth;
    const LONG height = dib.dsBm.bmHeight;
    if (dib.dsBm.bmBits == nullptr || dib.dsBm.bmBitsPixel != 32 || !rgb ||
        dib.dsBm.bmWidthBytes % 4 != 0 || dib.dsBm.bmWidthBytes / 4 < width || width <= 0 ||
        height <= 0) {
        return false;
    }
    // GDI leaves the top byte of the pixels it writes 0.
    bits = MemorySurface{static_cast<uint32_t *>(dib.dsBm.bmBits), width, height,
                         static_cast<int32_t>(dib.dsBm.bmWidthBytes / 4), 0};
    return true;
}

// Describes the bitmap selected into dc, which maps nothing. False (and the
// cache left alone) when it cannot be told yet: the clip hides pixel (0, 0).
bool Describe(HDC dc, HGDIOBJ bitmap, DibCache &cache) {
    MemorySurface bits{};
    if (!StoredBits(bitmap, bits)) {
        cache = DibCache{bitmap, false, {}};
        return true;
    }
    if (!Unclipped(dc, bits.width, bits.height)) {
        return false;
    }
    switch (FirstRow(dc, bits.pixels, bits.height)) {
    case RowOrder::Unknown:
        return false;
    case RowOrder::BottomFirst:
        bits.pixels += static_cast<intptr_t>(bits.height - 1) * bits.strideWords;
        bits.strideWords = -bits.strideWords;
        break;
    case RowOrder::TopFirst:
        break;
    }
    cache = DibCache{bitmap, true, bits};
    return true;
}

} // namespace

uint32_t GdiSurface::Read(int32_t px, int32_t py) {
    const COLORREF colour = GetPixel(dc_, px, py);
    // A pixel that cannot be read reads as ink: nothing is blended into it.
    return colour == CLR_INVALID ? 0 : SwapRedBlue(colour);
}

void GdiSurface::Write(int32_t px, int32_t py, uint32_t rgb) {
    const RECT pixel{px, py, px + 1, py + 1};
    SetBkColor(dc_, SwapRedBlue(rgb));
    ExtTextOutA(dc_, px, py, ETO_OPAQUE, &pixel, nullptr, 0, nullptr);
}

bool DibSectionBits(HDC dc, MemorySurface &bits, DibCache &cache) {
    // Any GDI call that returns more than a BOOL flushes this thread's batch
    // of GDI drawing, so the bits hold everything drawn before.
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    if (bitmap == nullptr || !IdentityMapping(dc)) {
        return false;
    }
    if (bitmap != cache.bitmap && !Describe(dc, bitmap, cache)) {
        return false;
    }
    if (!cache.direct || !Unclipped(dc, cache.bits.width, cache.bits.height)) {
        return false;
    }
    bits = cache.bits;
    return true;
}

bool DibSectionBits(HDC dc, MemorySurface &bits) {
    DibCache cache;
    return DibSectionBits(dc, bits, cache);
}

DrawTarget TargetFromDeviceContext(HDC dc, GdiSurface &gdi, DibCache &cache) {
    if (dc == nullptr) {
        return NullSurface{};
    }
    MemorySurface bits{};
    if (DibSectionBits(dc, bits, cache)) {
        return bits;
    }
    return &gdi;
}

DrawTarget TargetFromDeviceContext(HDC dc, GdiSurface &gdi) {
    DibCache cache;
    return TargetFromDeviceContext(dc, gdi, cache);
}

} // namespace penlynx
