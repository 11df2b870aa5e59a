// The shared ink target on Windows: a memory device context with a 32-bit
// top-down DIB section selected, the library's fast path (it writes the bits
// directly). One device context for the program's life; a larger sheet gets a
// new DIB section, selected in place of the old one. No clip region: the
// library takes its fast path only where nothing is clipped, and what it draws
// past a smaller sheet lies outside every pixel that sheet reads back.
#include "controls/InkTarget.h"

#include "penlynx.h"

#include <windows.h>

namespace lumora {

namespace {

struct Gdi {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ original = nullptr; // the 1 x 1 bitmap a new device context holds
};

Gdi &Native(void *native) {
    return *static_cast<Gdi *>(native);
}

} // namespace

InkTarget::~InkTarget() {
    if (native_ == nullptr) {
        return;
    }
    Gdi &gdi = Native(native_);
    if (gdi.dc != nullptr) {
        if (gdi.original != nullptr) {
            ::SelectObject(gdi.dc, gdi.original);
        }
        ::DeleteDC(gdi.dc);
    }
    if (gdi.bitmap != nullptr) {
        ::DeleteObject(gdi.bitmap);
    }
    delete &gdi;
}

bool InkTarget::Grow(QSize size) {
    if (bits_ != nullptr && size_.width() >= size.width() && size_.height() >= size.height()) {
        return true;
    }
    if (native_ == nullptr) {
        native_ = new Gdi;
    }
    Gdi &gdi = Native(native_);
    if (gdi.dc == nullptr) {
        gdi.dc = ::CreateCompatibleDC(nullptr);
        if (gdi.dc == nullptr) {
            return false;
        }
    }
    const QSize grown = size_.expandedTo(size).expandedTo(QSize(1, 1));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = grown.width();
    info.bmiHeader.biHeight = -grown.height(); // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(gdi.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        return false; // the smaller one stays
    }
    const HGDIOBJ previous = ::SelectObject(gdi.dc, bitmap);
    if (gdi.bitmap == nullptr) {
        gdi.original = previous;
    } else {
        ::DeleteObject(gdi.bitmap);
    }
    gdi.bitmap = bitmap;
    bits_ = bits;
    strideBytes_ = grown.width() * 4; // 32-bit rows need no padding
    size_ = grown;
    return true;
}

void InkTarget::Draw(int slot, QSize size, int x, int y, int kind) {
    Q_UNUSED(size); // the sheet's pixels are the same however far the library draws
    SDKDraw(slot, Native(native_).dc, x, y, kind);
    ::GdiFlush(); // whatever GDI did is in the bits before they are read
}

void InkTarget::Advance(int slot, int x, int y, int kind) {
    SDKDraw(slot, nullptr, x, y, kind);
}

} // namespace lumora
