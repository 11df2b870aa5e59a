// The pixels one drawing call of the receiver library can touch. The library
// smooths every slot's points with integer arithmetic and draws each smoothed
// point with a 5 x 5 brush tile; following the same arithmetic tells the
// program which small part of an ink bitmap a call reads and writes, so that
// only that part needs to be at hand in 32-bit form.
//
// QtCore only (lumora_core). One reach per drawing slot; every call for the
// slot must go through Next, in order.
#pragma once

#include <QRect>

#include <cstdint>

namespace lumora {

class InkReach {
public:
    // Every pixel that SDKDraw(slot, surface, x, y, kind) may read or write,
    // not clipped to the bitmap. Kind 1 begins a stroke, 2 continues it; any
    // other kind draws nothing (empty rectangle). A continuation before any
    // beginning may reach anywhere: the whole plane then.
    QRect Next(int x, int y, int kind);

private:
    bool begun_ = false;
    // The smoother's state, scaled as the library keeps it.
    int32_t x0_ = 0, x1_ = 0, y0_ = 0, y1_ = 0;
    // Where the previous call's last line ended (placed sub-pixel units); the
    // brush's last stamp lies within one pixel of it.
    int32_t endX_ = 0, endY_ = 0;
};

} // namespace lumora
