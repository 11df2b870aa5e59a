#include "SimBackend.h"

#include "SimClassroom.h"

#include <algorithm>
#include <array>
#include <string>

namespace penlynx {

namespace {

class SimPlatform;

class SimDevice final : public HidDevice {
public:
    explicit SimDevice(SimPlatform &platform) : platform_(platform) {}
    bool Attributes(uint16_t &vendorId, uint16_t &productId) override {
        vendorId = kReceiverVendorId;
        productId = kReceiverProductId;
        return true;
    }
    size_t InputReportLength() override { return 128; }
    void BeginRead(uint8_t *buffer, size_t length) override;
    ReadOutcome WaitRead(Micros timeout, size_t &bytesRead) override;
    void CancelRead() override { buffer_ = nullptr; }
    bool Present() override { return true; }

private:
    bool Deliver(size_t &bytesRead);

    SimPlatform &platform_;
    uint8_t *buffer_ = nullptr;
    size_t length_ = 0;
};

class SimPlatform final : public Platform {
public:
    SimPlatform(const SimOptions &options, Clock &clock) : classroom(options), clock(clock) {}
    std::unique_ptr<InterfaceList> Interfaces() override {
        return MakeSingleInterfaceList(true, "sim");
    }
    std::unique_ptr<HidDevice> Open(const std::string &) override {
        return std::make_unique<SimDevice>(*this);
    }

    SimClassroom classroom;
    Clock &clock;
    bool started = false;
    Micros start{0};
    // The report of the last frame produced, until it is read.
    std::array<uint8_t, 128> pending{};
    size_t pendingLength = 0;
};

void SimDevice::BeginRead(uint8_t *buffer, size_t length) {
    if (!platform_.started) {
        platform_.started = true;
        platform_.start = platform_.clock.Now();
    }
    buffer_ = buffer;
    length_ = length;
}

bool SimDevice::Deliver(size_t &bytesRead) {
    if (buffer_ == nullptr) {
        return false;
    }
    SimClassroom &classroom = platform_.classroom;
    const Micros position = platform_.clock.Now() - platform_.start;
    // Frames whose end has passed have been sent: catch up to the first with
    // a report.
    while (platform_.pendingLength == 0 && classroom.FrameStart() + kSimFrame <= position) {
        platform_.pendingLength = classroom.NextFrame(platform_.pending);
    }
    if (platform_.pendingLength == 0) {
        return false;
    }
    bytesRead = std::min(platform_.pendingLength, length_);
    std::copy_n(platform_.pending.begin(), bytesRead, buffer_);
    platform_.pendingLength = 0;
    buffer_ = nullptr;
    return true;
}

ReadOutcome SimDevice::WaitRead(Micros timeout, size_t &bytesRead) {
    if (Deliver(bytesRead)) {
        return ReadOutcome::Completed;
    }
    Clock &clock = platform_.clock;
    const Micros due = platform_.start + platform_.classroom.NextReportDue();
    clock.SleepUntil(std::min(clock.Now() + timeout, due));
    return Deliver(bytesRead) ? ReadOutcome::Completed : ReadOutcome::TimedOut;
}

} // namespace

std::unique_ptr<Platform> MakeSimPlatform(std::string_view options, Clock &clock) {
    return std::make_unique<SimPlatform>(ParseSimOptions(options), clock);
}

} // namespace penlynx
