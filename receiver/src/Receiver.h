// The process-wide receiver instance behind the exports.
#pragma once

#include "Clock.h"
#ifdef _WIN32
#include "GdiSurface.h"
#endif
#include "InkRenderer.h"
#include "Platform.h"
#include "StrokeSmoother.h"
#include "penlynx.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>

namespace penlynx {

// Status flag bits; the state reported to DeviceStateCallback is flags & 3.
inline constexpr uint32_t FLAG_OPEN = 1;
inline constexpr uint32_t FLAG_TRAFFIC = 2;

// The reader thread's timing. The pause and the wait are what the program
// observes; the slice bounds how long a stop request goes unnoticed.
struct ReaderTiming {
    Micros searchPause = Millis(1000); // before every search of the reader thread
    Micros readWait = Millis(1000);    // a read without report for this long reports idle
    Micros slice = Millis(10);         // longest uninterrupted wait
};

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
#ifdef _WIN32
    // What each slot's last device context had selected.
    std::array<DibCache, PENLYNX_SLOTS> dibCaches{};
#endif

    int32_t drawWidth = 0;
    int32_t drawHeight = 0;

    // The backend the searches walk, made from PENLYNX_RECEIVER (platformSpec
    // is the value it was made for) unless one was injected. Declared before
    // the device, which may refer to it, so that it outlives the device.
    std::unique_ptr<Platform> platform;
    std::string platformSpec;
    bool platformInjected = false;
    Clock *clock = &SystemClock();
    ReaderTiming timing;

    // The open receiver, or null. Touched by the search and the reader
    // thread; SDKGetID searches only while no reader thread runs.
    std::unique_ptr<HidDevice> device;
    // What the last search said about a receiver it could not open (empty:
    // nothing), so that the same problem is said once, not every second.
    std::string openProblem;

    // The reader thread, joinable from SDKRegCallBack until the instance is
    // destroyed. Started, asked about and joined only under the exports' lock
    // or once the instance is out of their reach, never by the thread itself.
    std::thread reader;
    // Set when SDKClear or SDKIni released the instance: from then on no
    // callback is made, also by a thread that is still inside one.
    std::atomic<bool> released{false};
    // Set by the reader thread as the last thing it does with the instance.
    std::atomic<bool> readerFinished{false};
    // Links the instances released but not yet destroyed (the exports' list).
    CReceiver *nextRetired = nullptr;

    CReceiver(int32_t width, int32_t height) : drawWidth(width), drawHeight(height) {}

    void ReportState(int32_t state) const {
        if (onState != nullptr && !released.load()) {
            onState(state, PENLYNX_EXTENT_X, PENLYNX_EXTENT_Y);
        }
    }
};

// Uses the given backend for every search from now on (tests, benchmarks).
void UsePlatform(CReceiver &receiver, std::unique_ptr<Platform> platform);

// The instance the exports work on, or null.
CReceiver *CurrentInstance();

// Instances released from inside a callback whose destruction is still due:
// the next export on another thread destroys them once their thread ended.
size_t RetiredInstances();

// Draws one pen point for a slot (the body of SDKDraw after the slot check).
void DrawForSlot(CReceiver &receiver, int slot, const DrawTarget &target, int x, int y, int kind);

} // namespace penlynx
