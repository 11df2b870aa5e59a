// The 32-bit sheet that the receiver library draws ink on, shared by every
// ink sheet (InkSheet.h): as large as the largest sheet drawn so far. Its
// pixels are words 0x..RRGGBB, rows top first; the top byte is the
// platform's and never read. On Linux it is a QImage handed to SDKDraw as a
// PenlynxSurface; on Windows, where SDKDraw takes a device context, a memory
// device context with a 32-bit top-down DIB section selected, whose bits the
// library writes directly (InkTargetWindows.cpp, the only file with Win32
// calls).
//
// User-interface thread only.
#pragma once

#include <QSize>

#include <cstddef>
#include <cstdint>

namespace lumora {

class InkTarget {
public:
    // The shared target, grown to at least size; Valid() is false when it
    // could not be made (no memory).
    static InkTarget &Shared(QSize size) {
        static InkTarget target;
        target.Grow(size);
        return target;
    }

    bool Valid() const { return bits_ != nullptr; }
    // Whether the sheet holds size (false after a growth that failed).
    bool Covers(QSize size) const {
        return Valid() && size_.width() >= size.width() && size_.height() >= size.height();
    }
    // Row y of the sheet (0 <= y < the largest size asked for).
    uint32_t *Row(int y) const {
        return reinterpret_cast<uint32_t *>(reinterpret_cast<unsigned char *>(bits_) +
                                            static_cast<std::ptrdiff_t>(y) * strideBytes_);
    }
    // One pen point through SDKDraw for a sheet of the given size, at the
    // top left of the shared one (on Windows the library may draw past it,
    // into pixels no sheet of that size reads).
    void Draw(int slot, QSize size, int x, int y, int kind);

    // One pen point through SDKDraw that draws nothing (the stroke goes on).
    static void Advance(int slot, int x, int y, int kind);

    InkTarget(const InkTarget &) = delete;
    InkTarget &operator=(const InkTarget &) = delete;

private:
    InkTarget() = default;
    ~InkTarget();
    bool Grow(QSize size);

    void *bits_ = nullptr;
    int strideBytes_ = 0;
    QSize size_;
    void *native_ = nullptr; // the platform's own (InkTarget*.cpp)
};

} // namespace lumora
