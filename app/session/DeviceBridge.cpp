#include "session/DeviceBridge.h"

#include "core/Helpers.h"

#include <QCoreApplication>
#include <QThread>

#include <chrono>
#include <cmath>

namespace lumora {

namespace {

std::atomic<DeviceBridge *> g_bridge{nullptr};

bool IsUnsolved(uint16_t x, uint16_t y) {
    return x == 0xFFFF && y == 0xFFFF;
}

} // namespace

std::atomic<int> DeviceEvent::pending_{0};
std::atomic<uint64_t> DeviceEvent::penPosted_{0};

DeviceEvent::DeviceEvent(Type type, uint32_t wParam, uint32_t lParam)
    : QEvent(type), wParam(wParam), lParam(lParam),
      postedNs(std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
                   .count()) {
    pending_.fetch_add(1, std::memory_order_relaxed);
    if (type == WM_TABLET_PEN) {
        penPosted_.fetch_add(1, std::memory_order_relaxed);
    }
}

DeviceEvent::~DeviceEvent() {
    pending_.fetch_sub(1, std::memory_order_relaxed);
}

CanvasPoint PenToCanvas(double x, double y, double penScaleX, double penScaleY) {
    return {RoundHalfEven(x / penScaleX) - kPenOffset, RoundHalfEven(y / penScaleY) - kPenOffset};
}

DeviceBridge::DeviceBridge(SlotTable &table, SessionState &session, QObject *target)
    : table_(table), session_(session), target_(target) {}

void DeviceBridge::SetInkSize(int width, int height) {
    if (width > 0 && height > 0) {
        penScaleX_.store(kTabletWidth / width, std::memory_order_relaxed);
        penScaleY_.store(kTabletHeight / height, std::memory_order_relaxed);
    }
}

void DeviceBridge::Install(DeviceBridge *bridge) {
    g_bridge.store(bridge);
}

void DeviceBridge::Suspend() {
    open_.store(false);
    while (inside_.load() != 0) {
        QThread::yieldCurrentThread();
    }
}

void DeviceBridge::Resume() {
    open_.store(true);
}

void DeviceBridge::Settle() {
    // A handler reads the state after it entered (both sequentially
    // consistent): one that enters after this sees the new state.
    while (inside_.load() != 0) {
        QThread::yieldCurrentThread();
    }
}

void DeviceBridge::Post(QEvent::Type type, uint32_t wParam, uint32_t lParam) {
    QCoreApplication::postEvent(target_, new DeviceEvent(type, wParam, lParam));
}

void DeviceBridge::OnTabletEvent(uint16_t first, uint16_t second, uint16_t tabletId,
                                 int32_t eventType) {
    // Entered and left around every use of the table, so Suspend can wait.
    inside_.fetch_add(1);
    if (!open_.load()) {
        inside_.fetch_sub(1);
        return;
    }
    // Only the low 16 bits of the event type count.
    const int type = static_cast<uint16_t>(eventType);
    if (type == EVENT_KEY && listening_.load(std::memory_order_relaxed)) {
        Post(WM_TABLET_HEARD, tabletId, first);
    }
    const int slot = FindSlot(table_, tabletId, type);
    if (slot < 0) {
        NoteUnknown(tabletId, type);
    } else {
        table_[slot].Seen.store(1, std::memory_order_relaxed);
        if (record_ != nullptr) {
            record_->TabletHeard(slot, tabletId);
        }
        // Sequentially consistent, for Settle.
        const int32_t questionType = session_.CurrentQuestionType.load();
        const int32_t answerState = session_.CurrentAnswerState.load();
        if (answerState != kAnswerEnded && questionType != kQuestionNone) {
            switch (type) {
            case EVENT_PEN_DOWN:
                // A point the receiver could not solve has no place on the
                // pane; drawing a line to it would streak across the page.
                if (questionType == kQuestionSubjective && !IsUnsolved(first, second)) {
                    const CanvasPoint p = PenToCanvas(first, second, PenScaleX(), PenScaleY());
                    Post(WM_TABLET_PEN, static_cast<uint32_t>(slot), PackCanvasPoint(p));
                    if (record_ != nullptr) {
                        record_->PenPoint(slot, p.x, p.y);
                    }
                }
                break;
            case EVENT_PEN_UP:
                if (questionType == kQuestionSubjective) {
                    Post(WM_TABLET_PEN_UP, static_cast<uint32_t>(slot), 0);
                    if (record_ != nullptr) {
                        record_->PenUp(slot);
                    }
                }
                break;
            case EVENT_SIGNAL:
                DebugLog(u"ButtonSignal ID", 1, tabletId);
                break;
            case EVENT_KEY:
                HandleKey(slot, first, tabletId, questionType);
                break;
            default:
                break;
            }
        }
    }
    inside_.fetch_sub(1);
}

void DeviceBridge::HandleKey(int slot, uint16_t key, uint16_t tabletId, int32_t questionType) {
    StudentSlot &entry = table_[slot];
    if (key == kClearKey) {
        if (questionType == kQuestionSubjective) {
            // The pane of the tablet's pane-layer entry is wiped on the main
            // thread, in order with its pen points.
            const int pane = FindSlot(table_, tabletId, EVENT_PEN_DOWN);
            if (pane >= 0) {
                Post(WM_TABLET_WIPE, static_cast<uint32_t>(pane), 0);
            }
            // The press is the seat's, like every key; its answer stays.
            if (record_ != nullptr) {
                record_->KeyPressed(slot, key, entry.Answer.load(std::memory_order_relaxed));
            }
        } else {
            entry.Answer.store(0, std::memory_order_relaxed);
            Post(WM_TABLET_KEY, static_cast<uint32_t>(slot), 0);
            if (record_ != nullptr) {
                record_->KeyPressed(slot, key, 0);
            }
        }
        return;
    }
    if (questionType == kQuestionSubjective) {
        return;
    }
    uint32_t answer =
        questionType == kQuestionSingle ? 0 : entry.Answer.load(std::memory_order_relaxed);
    answer = SetBit(answer, static_cast<uint8_t>(key & 0xFF), 1);
    entry.Answer.store(answer, std::memory_order_relaxed);
    Post(WM_TABLET_KEY, static_cast<uint32_t>(slot), answer);
    if (record_ != nullptr) {
        record_->KeyPressed(slot, key, answer);
    }
}

void DeviceBridge::NoteUnknown(uint16_t tabletId, int type) {
    if (record_ == nullptr) {
        return;
    }
    // Held in the other layer (a pane-only tablet pressing a key, a seat-only
    // tablet writing) is a known tablet whose event has no place.
    const bool pen = type == EVENT_PEN_DOWN || type == EVENT_PEN_UP;
    if (FindSlot(table_, tabletId, pen ? EVENT_KEY : EVENT_PEN_DOWN) < 0) {
        record_->UnknownTablet(tabletId);
    }
}

void DeviceBridge::OnDeviceState(int32_t state) {
    const int code = static_cast<uint16_t>(state);
    Post(WM_DEVICE_STATE, static_cast<uint32_t>(code), 0);
    switch (code) {
    case STATE_DISCONNECTED:
        DebugLog(u"USB DisConnect", 0);
        break;
    case STATE_IDLE:
        DebugLog(u"No Card Connect", 0);
        break;
    case STATE_RECEIVING:
        DebugLog(u"USB Connecting", 0);
        break;
    default:
        break;
    }
}

} // namespace lumora

void PENLYNX_CALL TabletEventHandler(uint16_t first, uint16_t second, uint16_t tabletId,
                                     int32_t eventType) {
    if (lumora::DeviceBridge *bridge = lumora::g_bridge.load()) {
        bridge->OnTabletEvent(first, second, tabletId, eventType);
    }
}

void PENLYNX_CALL DeviceStateHandler(int32_t state, int32_t, int32_t) {
    if (lumora::DeviceBridge *bridge = lumora::g_bridge.load()) {
        bridge->OnDeviceState(state);
    }
}
