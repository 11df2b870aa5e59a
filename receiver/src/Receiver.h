// The process-wide receiver instance behind the exports.
#pragma once

#include "InkRenderer.h"
#include "StrokeSmoother.h"
#include "penlynx.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>

namespace penlynx {

// Status flag bits; the state reported to DeviceStateCallback is flags & 3.
inline constexpr uint32_t FLAG_OPEN = 1;
inline constexpr uint32_t FLAG_TRAFFIC = 2;

struct CReceiver {
    // Words the reader thread and the caller's thread both touch are atomic.
    std::atomic<uint32_t> statusFlags{0};
    std::atomic<uint32_t> currentTabletId{0};
    std::atomic<int32_t> x{0};
    std::atomic<int32_t> y{0};
    std::atomic<int32_t> eventType{0};
    std::atomic<bool> reading{false};
    std::atomic<bool> keepRunning{false};

    // Written by SDKRegCallBack before the reader thread starts.
    TabletEventCallback onTablet = nullptr;
    DeviceStateCallback onState = nullptr;

    // Touched by SDKDraw and SDKClear on the caller's thread only.
    std::array<std::unique_ptr<CInkRenderer>, PENLYNX_SLOTS> renderers;
    std::array<CStrokeSmoother, PENLYNX_SLOTS> smoothers;
    std::array<bool, PENLYNX_SLOTS> strokeBegun{};

    int32_t drawWidth = 0;
    int32_t drawHeight = 0;

    CReceiver(int32_t width, int32_t height) : drawWidth(width), drawHeight(height) {}

    void ReportState(int32_t state) const {
        if (onState != nullptr) {
            onState(state, PENLYNX_EXTENT_X, PENLYNX_EXTENT_Y);
        }
    }
};

// The instance the exports work on, or null.
CReceiver *CurrentInstance();

// Draws one pen point for a slot (the body of SDKDraw after the slot check).
void DrawForSlot(CReceiver &receiver, int slot, const DrawTarget &target, int x, int y, int kind);

} // namespace penlynx
