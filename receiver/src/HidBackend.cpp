#include "HidBackend.h"

#include "Decoder.h"
#include "Diagnostics.h"

#include <hidapi.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

namespace penlynx {

namespace {

// The prefix of a Report ID item (global item, tag 8), whatever its size.
constexpr uint8_t kReportIdItem = 0x84;
constexpr uint8_t kLongItem = 0xFE;

// Reads the device's report descriptor; false when it cannot be had.
bool ReadDescriptor([[maybe_unused]] hid_device *device, [[maybe_unused]] const std::string &path,
                    std::vector<uint8_t> &descriptor) {
#if HID_API_VERSION >= HID_API_MAKE_VERSION(0, 14, 0)
    descriptor.resize(4096);
    const int length = hid_get_report_descriptor(device, descriptor.data(), descriptor.size());
    if (length > 0) {
        descriptor.resize(static_cast<size_t>(length));
        return true;
    }
#endif
#ifdef __linux__
    // hidraw publishes it beside the device node: /dev/hidrawN ->
    // /sys/class/hidraw/hidrawN/device/report_descriptor.
    const size_t slash = path.rfind('/');
    const std::string node = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::string sysfs = "/sys/class/hidraw/" + node + "/device/report_descriptor";
    if (std::FILE *file = std::fopen(sysfs.c_str(), "rb")) {
        descriptor.resize(4096);
        descriptor.resize(std::fread(descriptor.data(), 1, descriptor.size(), file));
        std::fclose(file);
        return !descriptor.empty();
    }
#endif
    return false;
}

class HidList final : public InterfaceList {
public:
    explicit HidList(hid_device_info *devices) : devices_(devices) {
        for (hid_device_info *device = devices; device != nullptr; device = device->next) {
            items_.push_back(device);
        }
    }
    ~HidList() override { hid_free_enumeration(devices_); }
    HidList(const HidList &) = delete;
    HidList &operator=(const HidList &) = delete;

    InterfaceStep Get(size_t index) override {
        return index < items_.size() ? InterfaceStep::Present : InterfaceStep::End;
    }
    bool Path(size_t index, std::string &path) override {
        if (index >= items_.size() || items_[index]->path == nullptr) {
            return false;
        }
        path = items_[index]->path;
        return true;
    }
    bool ListedIds(size_t index, uint16_t &vendorId, uint16_t &productId) override {
        if (index >= items_.size()) {
            return false;
        }
        vendorId = items_[index]->vendor_id;
        productId = items_[index]->product_id;
        return true;
    }

private:
    hid_device_info *devices_;
    std::vector<hid_device_info *> items_;
};

class HidapiDevice final : public HidDevice {
public:
    HidapiDevice(hid_device *device, std::string path) : device_(device), path_(std::move(path)) {}
    ~HidapiDevice() override { hid_close(device_); }
    HidapiDevice(const HidapiDevice &) = delete;
    HidapiDevice &operator=(const HidapiDevice &) = delete;

    bool Attributes(uint16_t &vendorId, uint16_t &productId) override {
        const hid_device_info *info = hid_get_device_info(device_);
        if (info == nullptr) {
            return false;
        }
        vendorId = info->vendor_id;
        productId = info->product_id;
        return true;
    }
    size_t InputReportLength() override {
        // Asked once the device is known to be the receiver: a device that
        // does not number its reports gets byte 0 left free for the ID.
        std::vector<uint8_t> descriptor;
        if (!ReadDescriptor(device_, path_, descriptor)) {
            Diagnose("cannot read the report descriptor of " + path_ +
                     "; taking its reports as unnumbered");
        }
        offset_ = DescriptorNumbersReports(descriptor.data(), descriptor.size()) ? 0 : 1;
        // hidapi delivers one whole report per read, whatever its length.
        return kReportBufferSize;
    }
    void BeginRead(uint8_t *buffer, size_t length) override {
        buffer_ = buffer;
        length_ = length;
    }
    ReadOutcome WaitRead(Micros timeout, size_t &bytesRead) override {
        if (buffer_ == nullptr || length_ <= offset_) {
            return ReadOutcome::Failed;
        }
        const auto ms = std::chrono::ceil<Millis>(timeout).count();
        const int got =
            hid_read_timeout(device_, buffer_ + offset_, length_ - offset_, static_cast<int>(ms));
        if (got < 0) {
            return ReadOutcome::Failed;
        }
        if (got == 0) {
            return ReadOutcome::TimedOut;
        }
        bytesRead = static_cast<size_t>(got) + offset_;
        buffer_ = nullptr;
        return ReadOutcome::Completed;
    }
    void CancelRead() override { buffer_ = nullptr; }
    bool Present() override {
        hid_device_info *devices = hid_enumerate(kReceiverVendorId, kReceiverProductId);
        bool present = false;
        for (hid_device_info *device = devices; device != nullptr; device = device->next) {
            present = present || (device->path != nullptr && path_ == device->path);
        }
        hid_free_enumeration(devices);
        return present;
    }

private:
    hid_device *device_;
    std::string path_;
    size_t offset_ = 1;
    uint8_t *buffer_ = nullptr;
    size_t length_ = 0;
};

class HidPlatform final : public Platform {
public:
    std::unique_ptr<InterfaceList> Interfaces() override {
        if (!Initialised()) {
            return nullptr;
        }
        // No device at all and a failed enumeration look the same here: both
        // mean no receiver.
        return std::make_unique<HidList>(hid_enumerate(0, 0));
    }
    std::unique_ptr<HidDevice> Open(const std::string &path) override {
        errno = 0;
        hid_device *device = hid_open_path(path.c_str());
        if (device == nullptr) {
            // hidapi keeps the error of its open() in errno.
            openError_ = OpenFailureReason(errno);
            return nullptr;
        }
        openError_.clear();
        return std::make_unique<HidapiDevice>(device, path);
    }
    std::string OpenError() const override { return openError_; }

private:
    std::string openError_;

    static bool Initialised() {
        static std::once_flag once;
        static bool ok = false;
        std::call_once(once, [] {
            ok = hid_init() == 0;
            if (!ok) {
                Diagnose("the HID library cannot be initialised");
            }
        });
        return ok;
    }
};

} // namespace

bool DescriptorNumbersReports(const uint8_t *descriptor, size_t length) {
    size_t at = 0;
    while (at < length) {
        const uint8_t prefix = descriptor[at];
        if (prefix == kLongItem) {
            const size_t dataSize = at + 1 < length ? descriptor[at + 1] : 0;
            at += 3 + dataSize;
            continue;
        }
        if ((prefix & 0xFC) == kReportIdItem) {
            return true;
        }
        const size_t sizes[] = {0, 1, 2, 4};
        at += 1 + sizes[prefix & 3];
    }
    return false;
}

std::string OpenFailureReason(int error) {
    if (error == 0) {
        return {};
    }
    std::string reason = std::generic_category().message(error);
#ifdef __linux__
    if (error == EACCES || error == EPERM) {
        reason += "; without the udev rule 60-penlynx.rules only root may use it: copy "
                  "packaging/60-penlynx.rules to /etc/udev/rules.d/ (the package installs it "
                  "in /lib/udev/rules.d/), run 'udevadm control --reload' and "
                  "'udevadm trigger', then plug the receiver in again";
    }
#endif
    return reason;
}

std::unique_ptr<Platform> MakeHidPlatform() {
    return std::make_unique<HidPlatform>();
}

} // namespace penlynx
