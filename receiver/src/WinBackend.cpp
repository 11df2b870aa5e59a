#include "WinBackend.h"

#include <windows.h>

#include <setupapi.h>

extern "C" {
#include <hidsdi.h>
}

#include <algorithm>
#include <chrono>
#include <vector>

namespace penlynx {

namespace {

GUID HidClass() {
    GUID hidClass;
    HidD_GetHidGuid(&hidClass);
    return hidClass;
}

// A snapshot of the present HID interfaces; released on every path out of the
// search, the failed ones included.
class InterfaceSet final : public InterfaceList {
public:
    InterfaceSet(HDEVINFO set, const GUID &hidClass) : set_(set), class_(hidClass) {}
    ~InterfaceSet() override { SetupDiDestroyDeviceInfoList(set_); }
    InterfaceSet(const InterfaceSet &) = delete;
    InterfaceSet &operator=(const InterfaceSet &) = delete;

    InterfaceStep Get(size_t index) override {
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        // The end of the list is told only by the last error.
        SetLastError(ERROR_SUCCESS);
        if (SetupDiEnumDeviceInterfaces(set_, nullptr, &class_, static_cast<DWORD>(index), &data)) {
            current_ = data;
            currentIndex_ = index;
            return InterfaceStep::Present;
        }
        return GetLastError() == ERROR_NO_MORE_ITEMS ? InterfaceStep::End : InterfaceStep::Failed;
    }

    bool Path(size_t index, std::string &path) override {
        if (index != currentIndex_ && Get(index) != InterfaceStep::Present) {
            return false;
        }
        // First the size of the detail record, then the record itself.
        DWORD size = 0;
        SetupDiGetDeviceInterfaceDetailA(set_, &current_, nullptr, 0, &size, nullptr);
        if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A)) {
            return false;
        }
        detail_.assign((size + sizeof(DWORD) - 1) / sizeof(DWORD), 0);
        auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A *>(detail_.data());
        detail->cbSize = sizeof *detail;
        if (!SetupDiGetDeviceInterfaceDetailA(set_, &current_, detail, size, nullptr, nullptr)) {
            return false;
        }
        path = detail->DevicePath;
        return true;
    }

private:
    HDEVINFO set_;
    GUID class_;
    SP_DEVICE_INTERFACE_DATA current_{};
    size_t currentIndex_ = SIZE_MAX;
    // One detail record at a time, reused for the next interface and freed
    // with the set.
    std::vector<DWORD> detail_;
};

DWORD Milliseconds(Micros timeout) {
    const auto ms = std::chrono::ceil<Millis>(timeout).count();
    return static_cast<DWORD>(std::clamp<decltype(ms)>(ms, 0, INFINITE - 1));
}

class WinHidDevice final : public HidDevice {
public:
    explicit WinHidDevice(HANDLE handle) : handle_(handle) {}
    ~WinHidDevice() override {
        if (pending_) {
            // The system may still write into the buffer and the overlapped
            // record: end the read before they go.
            CancelIoEx(handle_, &overlapped_);
            FinishCancelledRead();
        }
        CloseHandle(handle_);
        if (event_ != nullptr) {
            CloseHandle(event_);
        }
    }
    WinHidDevice(const WinHidDevice &) = delete;
    WinHidDevice &operator=(const WinHidDevice &) = delete;

    bool Attributes(uint16_t &vendorId, uint16_t &productId) override {
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof attributes;
        if (!HidD_GetAttributes(handle_, &attributes)) {
            return false;
        }
        vendorId = attributes.VendorID;
        productId = attributes.ProductID;
        return true;
    }

    size_t InputReportLength() override {
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!HidD_GetPreparsedData(handle_, &data)) {
            return 0;
        }
        HIDP_CAPS caps{};
        const bool known = HidP_GetCaps(data, &caps) == HIDP_STATUS_SUCCESS;
        HidD_FreePreparsedData(data);
        return known ? caps.InputReportByteLength : 0;
    }

    void BeginRead(uint8_t *buffer, size_t length) override {
        if (pending_) {
            CancelRead();
        }
        if (event_ == nullptr) {
            // Manual reset, created signalled; reset before every read.
            event_ = CreateEventA(nullptr, TRUE, TRUE, nullptr);
            if (event_ == nullptr) {
                return;
            }
        }
        ResetEvent(event_);
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = event_;
        pending_ = ReadFile(handle_, buffer, static_cast<DWORD>(length), nullptr, &overlapped_) ||
                   GetLastError() == ERROR_IO_PENDING;
    }

    ReadOutcome WaitRead(Micros timeout, size_t &bytesRead) override {
        if (!pending_) {
            return ReadOutcome::Failed;
        }
        const DWORD waited = WaitForSingleObject(event_, Milliseconds(timeout));
        if (waited == WAIT_TIMEOUT) {
            return ReadOutcome::TimedOut;
        }
        if (waited != WAIT_OBJECT_0) {
            // The read may still be in flight: CancelRead ends it.
            return ReadOutcome::Failed;
        }
        pending_ = false;
        DWORD transferred = 0;
        if (!GetOverlappedResult(handle_, &overlapped_, &transferred, FALSE)) {
            return ReadOutcome::Failed;
        }
        bytesRead = transferred;
        return ReadOutcome::Completed;
    }

    void CancelRead() override {
        if (!pending_) {
            return;
        }
        CancelIo(handle_);
        FinishCancelledRead();
    }

    bool Present() override {
        PHIDP_PREPARSED_DATA data = nullptr;
        if (!HidD_GetPreparsedData(handle_, &data)) {
            return false;
        }
        HidD_FreePreparsedData(data);
        return true;
    }

private:
    // A cancelled read still completes (as aborted); only then may the buffer
    // be used again.
    void FinishCancelledRead() {
        DWORD transferred = 0;
        GetOverlappedResult(handle_, &overlapped_, &transferred, TRUE);
        pending_ = false;
    }

    HANDLE handle_;
    HANDLE event_ = nullptr;
    OVERLAPPED overlapped_{};
    bool pending_ = false;
};

class WinPlatform final : public Platform {
public:
    std::unique_ptr<InterfaceList> Interfaces() override {
        const GUID hidClass = HidClass();
        HDEVINFO set = SetupDiGetClassDevsA(&hidClass, nullptr, nullptr,
                                            DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
        if (set == nullptr || set == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<InterfaceSet>(set, hidClass);
    }

    std::unique_ptr<HidDevice> Open(const std::string &path) override {
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OVERLAPPED, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            return nullptr;
        }
        return std::make_unique<WinHidDevice>(handle);
    }
};

} // namespace

std::unique_ptr<Platform> MakeWinPlatform() {
    return std::make_unique<WinPlatform>();
}

} // namespace penlynx
