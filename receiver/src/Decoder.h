// Turns one receiver report into state and tablet callbacks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace penlynx {

struct CReceiver;

// The reader's one report buffer; everything past what the receiver delivered
// is zero.
inline constexpr size_t kReportBufferSize = 1024;
using ReportBuffer = std::array<uint8_t, kReportBufferSize>;

inline constexpr size_t kRecordSize = 6;
inline constexpr size_t kRecordsOffset = 2;
// The most records one report holds (payload length 127).
inline constexpr int kMaxRecordsPerReport = 127 / kRecordSize;

// Key codes carried by key records.
inline constexpr uint8_t kReceiverWipeKey = 7; // delivered as kWipeKey
inline constexpr uint8_t kWipeKey = 9;
inline constexpr uint8_t kSignalCode = 0x7F;
inline constexpr uint16_t kKeySecondArgument = 256;

// Dispatches every record of the report to the receiver's callbacks, in
// order, raising the receiving state before the first record when needed.
// Called on the reader thread.
void DispatchReport(CReceiver &receiver, const ReportBuffer &report);

} // namespace penlynx
