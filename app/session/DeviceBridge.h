// The program's side of the receiver library: the two handlers that the
// library calls on its reader thread, and the events through which they hand
// everything that touches the window to the main thread.
//
// The handlers never block and never touch a widget: they look the tablet up
// in the SlotTable, write the entry's Seen and Answer words and post one event
// to the main window, which handles the events in the order posted. Pen
// points, pen-ups and the key-9 wipe all travel as events, so a stroke's end
// and a wipe never overtake the points before them.
#pragma once

#include "config/SlotTable.h"
#include "penlynx.h"
#include "session/Question.h"

#include <QEvent>

#include <atomic>
#include <cstdint>

class QObject;

namespace lumora {

// Events posted to the main window.
inline constexpr QEvent::Type WM_DEVICE_STATE = static_cast<QEvent::Type>(1034);
inline constexpr QEvent::Type WM_TABLET_KEY = static_cast<QEvent::Type>(1035);
inline constexpr QEvent::Type WM_TABLET_PEN = static_cast<QEvent::Type>(1036);
// A pen lifted: wParam the entry whose pane ends its stroke.
inline constexpr QEvent::Type WM_TABLET_PEN_UP = static_cast<QEvent::Type>(1037);
// The clear key on a subjective question: wParam the entry whose pane is wiped.
inline constexpr QEvent::Type WM_TABLET_WIPE = static_cast<QEvent::Type>(1038);
// A key pressed on any tablet while the bridge listens (see SetListening):
// wParam the tablet ID, lParam the key. 1039 and 1040 are the record's.
inline constexpr QEvent::Type WM_TABLET_HEARD = static_cast<QEvent::Type>(1041);

// One posted device event with its two message words.
class DeviceEvent : public QEvent {
public:
    DeviceEvent(Type type, uint32_t wParam, uint32_t lParam);
    ~DeviceEvent() override;
    DeviceEvent(const DeviceEvent &) = delete;
    DeviceEvent &operator=(const DeviceEvent &) = delete;

    const uint32_t wParam;
    const uint32_t lParam;
    // When the handler posted it (steady clock, nanoseconds), so that the way
    // from the receiver to the screen can be measured.
    const int64_t postedNs;

    // Device events posted and not yet handled: the depth of the main
    // thread's queue of device work.
    static int Pending() { return pending_.load(std::memory_order_relaxed); }
    // Pen points posted since the program started.
    static uint64_t PenPointsPosted() { return penPosted_.load(std::memory_order_relaxed); }

private:
    static std::atomic<int> pending_;
    static std::atomic<uint64_t> penPosted_;
};

// What the handlers hand to the lesson record, on the reader thread: the
// presses that changed an answer (the clear key included), the pen points and
// pen-ups routed to a pane, and tablets no roster entry holds. Implementations
// only queue and never block.
class TabletEventRecord {
public:
    virtual void KeyPressed(int slot, uint16_t key, uint32_t answerAfter) = 0;
    virtual void PenPoint(int slot, int32_t x, int32_t y) = 0;
    virtual void PenUp(int slot) = 0;
    virtual void UnknownTablet(uint16_t tabletId) = 0;
    // Any event of a tablet an entry holds (entry slot, in either layer):
    // the tablet is in the room. Called for every such event: constant work.
    virtual void TabletHeard(int slot, uint16_t tabletId) {
        static_cast<void>(slot);
        static_cast<void>(tabletId);
    }

protected:
    ~TabletEventRecord() = default;
};

// Tablet space mapped onto one ink bitmap.
inline constexpr double kTabletWidth = 2800;
inline constexpr double kTabletHeight = 2000;
// Ink pixels are shifted up and left by this much.
inline constexpr int kPenOffset = 50;

struct CanvasPoint {
    int32_t x;
    int32_t y;
    bool operator==(const CanvasPoint &) const = default;
};

// A tablet point in ink-bitmap pixels: divided by the scale, rounded to the
// nearest integer with halves to the even neighbour, minus the offset.
CanvasPoint PenToCanvas(double x, double y, double penScaleX, double penScaleY);

// The packed point of WM_TABLET_PEN: x in the low, y in the high 16 bits.
inline uint32_t PackCanvasPoint(CanvasPoint p) {
    return (static_cast<uint32_t>(p.x) & 0xFFFF) | (static_cast<uint32_t>(p.y) & 0xFFFF) << 16;
}

// Its twin on the window's side. The halves are signed: a point just above or
// left of the pane stays there and is clipped, instead of becoming a point
// far below or right that a line would be drawn to.
inline CanvasPoint UnpackCanvasPoint(uint32_t packed) {
    return {static_cast<int16_t>(packed & 0xFFFF), static_cast<int16_t>(packed >> 16)};
}

class DeviceBridge {
public:
    // target receives the posted events; table and session outlive the bridge.
    DeviceBridge(SlotTable &table, SessionState &session, QObject *target);

    // The ink bitmap size; sets PenScaleX = 2800 / width, PenScaleY = 2000 / height.
    void SetInkSize(int width, int height);
    double PenScaleX() const { return penScaleX_.load(std::memory_order_relaxed); }
    double PenScaleY() const { return penScaleY_.load(std::memory_order_relaxed); }

    // Reader thread: one tablet event, one device state.
    void OnTabletEvent(uint16_t first, uint16_t second, uint16_t tabletId, int32_t eventType);
    void OnDeviceState(int32_t state);

    // Keeps the handlers off the table: returns once no handler is inside and
    // none will enter until Resume (an import replaces the table meanwhile).
    // Main thread.
    void Suspend();
    void Resume();
    // Returns once no handler that may have read the session state as it was
    // before this call is still inside: after it, every event posted under
    // the old state is in the window's queue. Main thread.
    void Settle();

    // The record the handlers report to (null: none). Set it while no
    // handler runs: before the library starts, or after it stopped.
    void SetRecord(TabletEventRecord *record) { record_ = record; }

    // While on, every key pressed on a tablet, known or not, is also posted
    // as WM_TABLET_HEARD, so that a dialog can take the tablet that pressed
    // it. The key still counts as it would otherwise. Any thread.
    void SetListening(bool on) { listening_.store(on, std::memory_order_relaxed); }

    // The bridge the registered handlers forward to; null drops every event.
    // A bridge is destroyed only after the library has stopped (SDKClear).
    static void Install(DeviceBridge *bridge);

private:
    void Post(QEvent::Type type, uint32_t wParam, uint32_t lParam);
    void HandleKey(int slot, uint16_t key, uint16_t tabletId, int32_t questionType);
    void NoteUnknown(uint16_t tabletId, int type);

    SlotTable &table_;
    SessionState &session_;
    QObject *const target_;
    std::atomic<double> penScaleX_{1};
    std::atomic<double> penScaleY_{1};
    std::atomic<bool> open_{true};
    std::atomic<bool> listening_{false};
    std::atomic<int> inside_{0};
    TabletEventRecord *record_ = nullptr;
};

} // namespace lumora

// The two functions registered with SDKRegCallBack; they forward to the
// installed bridge.
void PENLYNX_CALL TabletEventHandler(uint16_t first, uint16_t second, uint16_t tabletId,
                                     int32_t eventType);
void PENLYNX_CALL DeviceStateHandler(int32_t state, int32_t extentX, int32_t extentY);
