#include "Decoder.h"

#include "Geometry.h"
#include "Receiver.h"

namespace penlynx {

namespace {

// A record's first and second argument as signed values (-1 for a position
// without solution) and its event type.
struct DecodedRecord {
    int32_t first;
    int32_t second;
    int32_t eventType;
};

DecodedRecord DecodeKey(uint8_t code) {
    if (code == kSignalCode) {
        return {kKeySecondArgument, kKeySecondArgument, EVENT_SIGNAL};
    }
    return {code == kReceiverWipeKey ? kWipeKey : code, kKeySecondArgument, EVENT_KEY};
}

DecodedRecord DecodePosition(const uint8_t *data) {
    // The two counts are interleaved: A is bytes 0 and 3, B bytes 1 and 2.
    uint16_t countA = static_cast<uint16_t>(data[0] | (data[3] << 8));
    uint16_t countB = static_cast<uint16_t>(data[1] | (data[2] << 8));
    int32_t eventType = EVENT_PEN_DOWN;
    if (countB == kMarkerCount) {
        eventType = EVENT_MARKER;
    } else if (countB >= kPenUpLow && countA >= kPenUpLow && countB < kPenUpHighB) {
        eventType = EVENT_PEN_UP;
        countA = static_cast<uint16_t>(countA - kPenUpOffset);
        countB = static_cast<uint16_t>(countB - kPenUpOffset);
    }
    const TabletPoint point = SolveCounts(countA, countB);
    return {point.x, point.y, eventType};
}

} // namespace

void DispatchReport(CReceiver &receiver, const ReportBuffer &report) {
    // The length byte is signed: 128 and above are negative and, like a
    // payload shorter than one record, mean no records.
    const int records = static_cast<int8_t>(report[1]) / static_cast<int>(kRecordSize);
    for (int k = 0; k < records; ++k) {
        // A callback that released the library hears nothing more.
        if (receiver.released.load()) {
            return;
        }
        const uint8_t *record = report.data() + kRecordsOffset + k * kRecordSize;
        const uint16_t tabletId = static_cast<uint16_t>(record[4] | (record[5] << 8));
        const bool isKey = record[0] == 0xFF && record[1] == 0xFF && record[2] == 0xFF;
        const DecodedRecord decoded = isKey ? DecodeKey(record[3]) : DecodePosition(record);

        receiver.currentTabletId.store(tabletId, std::memory_order_relaxed);
        receiver.x.store(decoded.first, std::memory_order_relaxed);
        receiver.y.store(decoded.second, std::memory_order_relaxed);
        receiver.eventType.store(decoded.eventType, std::memory_order_relaxed);

        if ((receiver.statusFlags.load(std::memory_order_relaxed) & 3) != 3) {
            receiver.statusFlags.fetch_or(FLAG_OPEN | FLAG_TRAFFIC, std::memory_order_relaxed);
            receiver.ReportState(STATE_RECEIVING);
        }
        // The state callback may have released it as well.
        if (receiver.onTablet != nullptr && !receiver.released.load()) {
            // Only the low 16 bits cross: -1 (no solution) arrives as 65535.
            receiver.onTablet(static_cast<uint16_t>(decoded.first),
                              static_cast<uint16_t>(decoded.second), tabletId, decoded.eventType);
        }
    }
}

} // namespace penlynx
