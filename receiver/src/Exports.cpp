// The five exports over the one process-wide instance. No exception leaves
// the library: every export catches what the C++ runtime could throw.
#include "Reader.h"
#include "Receiver.h"
#include "penlynx.h"

#ifdef _WIN32
#include "GdiSurface.h"
#endif

#include <algorithm>
#include <exception>
#include <new>

namespace penlynx {

namespace {

CReceiver *g_instance = nullptr;

// Pixel coordinates beyond this are clamped: far enough outside any bitmap to
// be clipped away, small enough that the sub-pixel arithmetic cannot overflow.
constexpr int kCoordinateLimit = 1 << 20;

void ReleaseInstance() {
    CReceiver *instance = g_instance;
    if (instance == nullptr) {
        return;
    }
    g_instance = nullptr;
    // The instance outlives its reader thread. Called from a callback, the
    // thread cannot be waited for: it releases the instance as it ends.
    if (StopReader(*instance)) {
        delete instance;
    }
}

} // namespace

void DrawForSlot(CReceiver &receiver, int slot, const DrawTarget &target, int x, int y, int kind) {
    auto &renderer = receiver.renderers[static_cast<size_t>(slot)];
    if (!renderer) {
        renderer = std::make_unique<CInkRenderer>(receiver.drawWidth, receiver.drawHeight);
    }
    renderer->Attach(target);
    x = std::clamp(x, -kCoordinateLimit, kCoordinateLimit);
    y = std::clamp(y, -kCoordinateLimit, kCoordinateLimit);
    bool &begun = receiver.strokeBegun[static_cast<size_t>(slot)];
    CStrokeSmoother &smoother = receiver.smoothers[static_cast<size_t>(slot)];
    // A continuation without a beginning has no start point: it begins a stroke.
    if (kind == 1 || (kind == 2 && !begun)) {
        begun = true;
        renderer->StampAt(smoother.Reset(8 * x, 8 * y));
    } else if (kind == 2) {
        for (const SubPixelPoint &point : smoother.Update(8 * x, 8 * y)) {
            renderer->LineTo(point);
        }
    }
}

CReceiver *CurrentInstance() {
    return g_instance;
}

} // namespace penlynx

using penlynx::g_instance;

extern "C" {

PENLYNX_API int PENLYNX_CALL SDKIni(int width, int height) {
    if (g_instance != nullptr) {
        penlynx::ReleaseInstance();
        return 0;
    }
    g_instance = new (std::nothrow) penlynx::CReceiver(width, height);
    return g_instance != nullptr ? 1 : 0;
}

PENLYNX_API int PENLYNX_CALL SDKGetID(void) {
    if (g_instance == nullptr) {
        return 0;
    }
    // The reader thread owns the search while it runs: say what it found.
    if (g_instance->reader.joinable()) {
        return (g_instance->statusFlags.load() & penlynx::FLAG_OPEN) != 0 ? PENLYNX_SEARCH_FOUND
                                                                          : PENLYNX_SEARCH_NONE;
    }
    try {
        return penlynx::SearchForReceiver(*g_instance);
    } catch (const std::exception &) {
        g_instance->device.reset();
        return PENLYNX_SEARCH_NONE;
    }
}

PENLYNX_API int PENLYNX_CALL SDKRegCallBack(TabletEventCallback onTablet,
                                            DeviceStateCallback onState) {
    if (g_instance == nullptr) {
        return 0;
    }
    // One reader thread per instance: a second registration changes nothing.
    if (g_instance->reader.joinable()) {
        return 1;
    }
    if (onTablet == nullptr) {
        return 0;
    }
    g_instance->onTablet = onTablet;
    if (onState == nullptr) {
        return 0;
    }
    g_instance->onState = onState;
    return penlynx::StartReader(*g_instance) ? 2 : 1;
}

PENLYNX_API int PENLYNX_CALL SDKClear(void) {
    penlynx::ReleaseInstance();
    return 1;
}

PENLYNX_API int PENLYNX_CALL SDKDraw(int slot, PenlynxTarget target, int x, int y, int kind) {
    if (g_instance == nullptr || slot < 0 || slot >= PENLYNX_SLOTS) {
        return 0;
    }
    try {
#ifdef _WIN32
        penlynx::GdiSurface gdi(target);
        const penlynx::DrawTarget drawTarget = penlynx::TargetFromDeviceContext(target, gdi);
#else
        const penlynx::DrawTarget drawTarget = penlynx::TargetFromSurface(target);
#endif
        penlynx::DrawForSlot(*g_instance, slot, drawTarget, x, y, kind);
    } catch (const std::bad_alloc &) {
        // No renderer could be made for the slot: nothing drawn.
    }
    return 1;
}

} // extern "C"
