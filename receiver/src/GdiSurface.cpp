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
    XFORM transform{};
    return GetMapMode(dc) == MM_TEXT && GetLayout(dc) == 0 && GetViewportOrgEx(dc, &viewport) &&
           viewport.x == 0 && viewport.y == 0 && GetWindowOrgEx(dc, &window) && window.x == 0 &&
           window.y == 0 && GetWorldTransform(dc, &transform) && transform.eM11 == 1.0f &&
           transform.eM12 == 0.0f && transform.eM21 == 0.0f && transform.eM22 == 1.0f &&
           transform.eDx == 0.0f && transform.eDy == 0.0f;
}

// Whether the clip region leaves the whole bitmap drawable.
bool Unclipped(HDC dc, LONG width, LONG height) {
    RECT box{};
    return GetClipBox(dc, &box) == SIMPLEREGION && box.left <= 0 && box.top <= 0 &&
           box.right >= width && box.bottom >= height;
}

// Whether the first stored row is the top one. The header GetObject reports
// has a positive height for either row order, so GDI is asked where a marked
// word shows; the word is restored at once.
bool TopRowFirst(HDC dc, uint32_t *bits, LONG height) {
    if (height == 1) {
        return true;
    }
    const uint32_t saved = bits[0];
    const uint32_t marked = saved ^ 1u;
    bits[0] = marked;
    const bool top = GetPixel(dc, 0, 0) == SwapRedBlue(marked & 0x00FFFFFFu);
    bits[0] = saved;
    return top;
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

bool DibSectionBits(HDC dc, MemorySurface &bits) {
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    DIBSECTION dib{};
    // A device-dependent bitmap fills only the BITMAP part.
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof dib, &dib) != sizeof dib) {
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
        height <= 0 || !IdentityMapping(dc) || !Unclipped(dc, width, height)) {
        return false;
    }
    GdiFlush();
    auto *first = static_cast<uint32_t *>(dib.dsBm.bmBits);
    int32_t strideWords = dib.dsBm.bmWidthBytes / 4;
    if (!TopRowFirst(dc, first, height)) {
        first += static_cast<intptr_t>(height - 1) * strideWords;
        strideWords = -strideWords;
    }
    // GDI leaves the top byte of the pixels it writes 0.
    bits = MemorySurface{first, width, height, strideWords, 0};
    return true;
}

DrawTarget TargetFromDeviceContext(HDC dc, GdiSurface &gdi) {
    if (dc == nullptr) {
        return NullSurface{};
    }
    MemorySurface bits{};
    if (DibSectionBits(dc, bits)) {
        return bits;
    }
    return &gdi;
}

} // namespace penlynx
