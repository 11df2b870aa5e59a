// The platform operations the search and the reader thread are written
// against. Every backend (the real HID receiver, the simulated classroom, the
// replayed script, and the fakes of the tests) provides them, so the search
// and the state machine are the same code everywhere.
#pragma once

#include "Clock.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace penlynx {

inline constexpr uint16_t kReceiverVendorId = 0x5131;
inline constexpr uint16_t kReceiverProductId = 0x2007;

enum class InterfaceStep {
    Present, // interface k exists
    End,     // no interface k or after it
    Failed,  // interface k could not be obtained
};

// A snapshot of the present HID interfaces; destroying it releases it.
class InterfaceList {
public:
    virtual ~InterfaceList() = default;
    virtual InterfaceStep Get(size_t index) = 0;
    // False when the path of interface `index` cannot be read.
    virtual bool Path(size_t index, std::string &path) = 0;
    // The vendor and product ID the list itself gives for interface `index`,
    // without opening it; false where the platform only tells them once open.
    virtual bool ListedIds(size_t /*index*/, uint16_t & /*vendorId*/, uint16_t & /*productId*/) {
        return false;
    }
};

enum class ReadOutcome {
    Completed, // a report is in the buffer
    TimedOut,  // nothing yet; the read stays pending
    Failed,    // the read ended without a report
};

// An open HID interface; destroying it closes it.
class HidDevice {
public:
    virtual ~HidDevice() = default;
    // Vendor and product ID; false when they cannot be read.
    virtual bool Attributes(uint16_t &vendorId, uint16_t &productId) = 0;
    // Bytes per input report, the report ID position included; 0 when unknown.
    virtual size_t InputReportLength() = 0;
    // Starts the one read in flight into buffer, which stays untouched by the
    // caller until the read has completed or was cancelled.
    virtual void BeginRead(uint8_t *buffer, size_t length) = 0;
    // Waits at most `timeout` for the pending read. On Completed, bytesRead
    // holds the report's length with byte 0 at the report ID position.
    virtual ReadOutcome WaitRead(Micros timeout, size_t &bytesRead) = 0;
    virtual void CancelRead() = 0;
    // False once the device is gone.
    virtual bool Present() = 0;
};

class Platform {
public:
    virtual ~Platform() = default;
    // The present interfaces, or null when they cannot be obtained.
    virtual std::unique_ptr<InterfaceList> Interfaces() = 0;
    // Opens an interface by path for reading and writing; null on failure.
    virtual std::unique_ptr<HidDevice> Open(const std::string &path) = 0;
    // Why the last Open failed, with the remedy where one is known; empty
    // when the platform cannot tell.
    virtual std::string OpenError() const { return {}; }
};

// A list of one interface at path, or of none when absent.
std::unique_ptr<InterfaceList> MakeSingleInterfaceList(bool present, std::string path);

// A backend that has no HID interfaces.
std::unique_ptr<Platform> MakeEmptyPlatform();

} // namespace penlynx
