// The five exports over the one process-wide instance. No exception leaves
// the library: every export catches what the C++ runtime could throw.
#include "Reader.h"
#include "Receiver.h"
#include "penlynx.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <new>
#include <utility>

namespace penlynx {

namespace {

// The exports may be called on the caller's thread and, for SDKClear and
// SDKIni, from inside a callback on the reader thread. The lock guards the
// instance pointer, the instance's thread object and the retired instances,
// and is held while SDKDraw draws, so an instance is never destroyed under a
// drawing caller. It is never held while a thread is waited for.
std::mutex g_lock;
CReceiver *g_instance = nullptr;

// Instances released from inside a callback, linked through nextRetired.
// Their reader thread cannot wait for itself, so another thread destroys them
// at its next call. Not freed at exit, when a thread may still use one.
CReceiver *g_retired = nullptr;

// Pixel coordinates beyond this are clamped: far enough outside any bitmap to
// be clipped away, small enough that the sub-pixel arithmetic cannot overflow.
constexpr int kCoordinateLimit = 1 << 20;

// The lock for one export call. Instances it takes out of reach are
// destroyed when the call ends, after the lock is released: their threads are
// waited for there, and none of it allocates.
class ExportCall {
public:
    // Takes the retired instances this thread may destroy: none on a reader
    // thread; otherwise those whose thread has ended, or all of them when
    // `waitForRetired` (SDKClear and SDKIni wait for a running callback).
    explicit ExportCall(bool waitForRetired = false) : lock_(g_lock) {
        if (g_retired == nullptr || OnReaderThread()) {
            return;
        }
        for (CReceiver **link = &g_retired; *link != nullptr;) {
            CReceiver *instance = *link;
            if (waitForRetired || instance->readerFinished.load()) {
                *link = instance->nextRetired;
                Doom(instance);
            } else {
                link = &instance->nextRetired;
            }
        }
    }
    ~ExportCall() {
        lock_.unlock();
        while (doomed_ != nullptr) {
            CReceiver *instance = std::exchange(doomed_, doomed_->nextRetired);
            JoinReader(*instance);
            delete instance;
        }
    }
    ExportCall(const ExportCall &) = delete;
    ExportCall &operator=(const ExportCall &) = delete;

    // Takes the instance out of the exports' reach and stops its thread.
    // Inside a callback it is retired; otherwise destroyed at the end.
    void ReleaseInstance() {
        CReceiver *instance = std::exchange(g_instance, nullptr);
        if (instance == nullptr) {
            return;
        }
        RequestStop(*instance);
        if (OnReaderThread()) {
            instance->nextRetired = g_retired;
            g_retired = instance;
        } else {
            Doom(instance);
        }
    }

private:
    void Doom(CReceiver *instance) {
        instance->nextRetired = doomed_;
        doomed_ = instance;
    }

    std::unique_lock<std::mutex> lock_;
    CReceiver *doomed_ = nullptr;
};

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
        const auto points = smoother.Update(8 * x, 8 * y);
        renderer->LinesThrough(points);
    }
}

CReceiver *CurrentInstance() {
    std::lock_guard lock(g_lock);
    return g_instance;
}

size_t RetiredInstances() {
    std::lock_guard lock(g_lock);
    size_t count = 0;
    for (const CReceiver *instance = g_retired; instance != nullptr;
         instance = instance->nextRetired) {
        ++count;
    }
    return count;
}

} // namespace penlynx

using penlynx::ExportCall;
using penlynx::g_instance;

extern "C" {

PENLYNX_API int PENLYNX_CALL SDKIni(int width, int height) {
    ExportCall call(true);
    if (g_instance != nullptr) {
        call.ReleaseInstance();
        return 0;
    }
    g_instance = new (std::nothrow) penlynx::CReceiver(width, height);
    return g_instance != nullptr ? 1 : 0;
}

PENLYNX_API int PENLYNX_CALL SDKGetID(void) {
    ExportCall call;
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
    ExportCall call;
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
    ExportCall call(true);
    call.ReleaseInstance();
    return 1;
}

PENLYNX_API int PENLYNX_CALL SDKDraw(int slot, PenlynxTarget target, int x, int y, int kind) {
    ExportCall call;
    if (g_instance == nullptr || slot < 0 || slot >= PENLYNX_SLOTS) {
        return 0;
    }
    try {
#ifdef _WIN32
        penlynx::GdiSurface gdi(target);
        const penlynx::DrawTarget drawTarget = penlynx::TargetFromDeviceContext(
            target, gdi, g_instance->dibCaches[static_cast<size_t>(slot)]);
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
