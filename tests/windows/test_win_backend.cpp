// The Windows pieces behind the exports, under Wine: the HID interface walk
// and search over the system's own HID devices, overlapped reads through a
// named pipe (the same file calls a HID handle gets), handle bookkeeping, and
// which device contexts are drawn into directly.
#include "Check.h"
#include "GdiSurface.h"
#include "Receiver.h"
#include "Search.h"
#include "Surfaces.h"
#include "WinBackend.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

using namespace penlynx;
using wincheck::Bitmap;
using wincheck::BitmapKind;

// The highest of 64 new handles. Handle tables hand out the lowest free
// slots, so once the holes are filled, leaked handles push it up. (Wine
// reports no handle count.)
uintptr_t HandleWatermark() {
    HANDLE probes[64];
    uintptr_t highest = 0;
    for (HANDLE &probe : probes) {
        probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        highest = std::max(highest, reinterpret_cast<uintptr_t>(probe));
    }
    for (HANDLE probe : probes) {
        CloseHandle(probe);
    }
    return highest;
}

void InterfaceWalk() {
    auto platform = MakeWinPlatform();
    auto interfaces = platform->Interfaces();
    if (!CHECK(interfaces != nullptr)) {
        return;
    }
    size_t k = 0;
    for (; k < 1000 && interfaces->Get(k) == InterfaceStep::Present; ++k) {
        std::string path;
        CHECK(interfaces->Path(k, path));
        CHECK(path.rfind("\\\\?\\", 0) == 0);
        auto device = platform->Open(path);
        if (!device) {
            continue;
        }
        uint16_t vendorId = 0, productId = 0;
        if (device->Attributes(vendorId, productId)) {
            CHECK(vendorId != kReceiverVendorId || productId != kReceiverProductId);
        }
        CHECK(device->Present());
    }
    // The walk ends at the end of the list, and stays there.
    CHECK(interfaces->Get(k) == InterfaceStep::End);
    CHECK(interfaces->Get(k + 1) == InterfaceStep::End);
    std::string path = "unchanged";
    CHECK(!interfaces->Path(k, path));
    std::printf("    %zu HID interfaces\n", k);
}

void SearchWithoutReceiver() {
    CReceiver receiver(10, 10);
    auto platform = MakeWinPlatform();
    CHECK_EQ(SearchReceiver(receiver, *platform), 3);
    CHECK(receiver.device == nullptr);
    CHECK_EQ(receiver.statusFlags.load(), 0u);
}

// A named pipe's client end, opened the way the receiver is opened.
class Pipe {
public:
    Pipe() {
        name_ = "\\\\.\\pipe\\penlynx-check-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++serial_);
        server_ = CreateNamedPipeA(name_.c_str(), PIPE_ACCESS_DUPLEX,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1, 4096,
                                   4096, 0, nullptr);
        device_ = platform_->Open(name_);
    }
    ~Pipe() {
        device_.reset();
        CloseServer();
    }
    bool Valid() const { return server_ != INVALID_HANDLE_VALUE && device_ != nullptr; }
    HidDevice &device() { return *device_; }
    void CloseDevice() { device_.reset(); }
    void CloseServer() {
        if (server_ != INVALID_HANDLE_VALUE) {
            CloseHandle(server_);
            server_ = INVALID_HANDLE_VALUE;
        }
    }
    bool Send(const char *bytes) {
        DWORD written = 0;
        const DWORD length = static_cast<DWORD>(std::strlen(bytes));
        return WriteFile(server_, bytes, length, &written, nullptr) && written == length;
    }

private:
    static inline int serial_ = 0;
    std::unique_ptr<Platform> platform_ = MakeWinPlatform();
    std::string name_;
    HANDLE server_ = INVALID_HANDLE_VALUE;
    std::unique_ptr<HidDevice> device_;
};

void OverlappedReads() {
    struct Case {
        const char *name;
        bool sendBefore; // the report is there before the read starts
        bool waitFirst;  // a read times out and is cancelled first
    };
    const Case cases[] = {
        {"report already there", true, false},
        {"report arrives during the wait", false, false},
        {"report after a cancelled read", false, true},
    };
    for (const Case &c : cases) {
        Pipe pipe;
        if (!CHECK(pipe.Valid())) {
            std::printf("    %s\n", c.name);
            continue;
        }
        uint8_t buffer[64];
        std::memset(buffer, 0, sizeof buffer);
        size_t got = 0;
        if (c.waitFirst) {
            pipe.device().BeginRead(buffer, sizeof buffer);
            CHECK(pipe.device().WaitRead(Millis(20), got) == ReadOutcome::TimedOut);
            CHECK(pipe.device().WaitRead(Millis(1), got) == ReadOutcome::TimedOut);
            pipe.device().CancelRead();
        }
        if (c.sendBefore) {
            CHECK(pipe.Send("\x01\x06report"));
        }
        pipe.device().BeginRead(buffer, sizeof buffer);
        if (!c.sendBefore) {
            CHECK(pipe.device().WaitRead(Millis(10), got) == ReadOutcome::TimedOut);
            CHECK(pipe.Send("\x01\x06report"));
        }
        const bool completed = pipe.device().WaitRead(Millis(2000), got) == ReadOutcome::Completed;
        // The whole report, and only this read's: the cancelled one took nothing.
        if (!CHECK(completed) || !CHECK_EQ(got, 8u) ||
            !CHECK(std::memcmp(buffer, "\x01\x06report", 8) == 0 && buffer[8] == 0)) {
            std::printf("    %s\n", c.name);
        }
    }
}

void ReadOfAVanishedPeerFails() {
    Pipe pipe;
    if (!CHECK(pipe.Valid())) {
        return;
    }
    uint8_t buffer[16]{};
    size_t got = 0;
    pipe.device().BeginRead(buffer, sizeof buffer);
    pipe.CloseServer();
    CHECK(pipe.device().WaitRead(Millis(2000), got) == ReadOutcome::Failed);
    // A failed read leaves nothing to cancel; a new one fails as well.
    pipe.device().CancelRead();
    pipe.device().BeginRead(buffer, sizeof buffer);
    CHECK(pipe.device().WaitRead(Millis(100), got) == ReadOutcome::Failed);
    // A pipe is no HID device.
    uint16_t vendorId = 0, productId = 0;
    CHECK(!pipe.device().Attributes(vendorId, productId));
    CHECK(!pipe.device().Present());
    CHECK_EQ(pipe.device().InputReportLength(), 0u);
}

// Closing a device with a read in flight ends the read first: nothing is
// written into the buffer afterwards.
void CloseWithReadInFlight() {
    Pipe pipe;
    if (!CHECK(pipe.Valid())) {
        return;
    }
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    pipe.device().BeginRead(buffer, sizeof buffer);
    pipe.CloseDevice();
    pipe.Send("late");
    Sleep(50);
    bool untouched = true;
    for (uint8_t byte : buffer) {
        untouched = untouched && byte == 0xEE;
    }
    CHECK(untouched);
}

// Searches, opens, reads and cancels give back every handle they take.
void NoHandleLeaks() {
    auto platform = MakeWinPlatform();
    {
        // The first calls load what the system keeps loaded.
        CReceiver receiver(10, 10);
        SearchReceiver(receiver, *platform);
        Pipe warmUp;
    }
    const uintptr_t before = HandleWatermark();
    constexpr int kRounds = 50;
    for (int i = 0; i < kRounds; ++i) {
        CReceiver receiver(10, 10);
        SearchReceiver(receiver, *platform);
        Pipe pipe;
        uint8_t buffer[16];
        size_t got = 0;
        pipe.device().BeginRead(buffer, sizeof buffer);
        pipe.device().WaitRead(Millis(1), got);
        pipe.device().CancelRead();
        // Left in flight: closing the device ends it.
        pipe.device().BeginRead(buffer, sizeof buffer);
    }
    const uintptr_t after = HandleWatermark();
    // A few slots of slack for what the system caches; one leak a round is far more.
    if (!CHECK(after <= before + 8 * sizeof(HANDLE))) {
        std::printf("    handle watermark before 0x%zx, after 0x%zx\n", static_cast<size_t>(before),
                    static_cast<size_t>(after));
    }
}

void WhichDeviceContextsAreDrawnDirectly() {
    struct Case {
        const char *name;
        BitmapKind kind;
        void (*apply)(HDC);
        bool direct;
    };
    const auto nothing = [](HDC) {};
    const Case cases[] = {
        {"device-dependent bitmap", BitmapKind::DeviceDependent, nothing, false},
        {"top-down 32-bit DIB", BitmapKind::Dib32TopDown, nothing, true},
        {"bottom-up 32-bit DIB", BitmapKind::Dib32BottomUp, nothing, true},
        {"32-bit DIB with RGB bit fields", BitmapKind::Dib32Bitfields, nothing, true},
        {"24-bit DIB", BitmapKind::Dib24, nothing, false},
        {"viewport origin", BitmapKind::Dib32TopDown,
         [](HDC dc) { SetViewportOrgEx(dc, 1, 0, nullptr); }, false},
        {"window origin", BitmapKind::Dib32TopDown,
         [](HDC dc) { SetWindowOrgEx(dc, 0, 1, nullptr); }, false},
        {"clip rectangle", BitmapKind::Dib32TopDown,
         [](HDC dc) { IntersectClipRect(dc, 0, 0, 5, 5); }, false},
        {"mirrored", BitmapKind::Dib32TopDown, [](HDC dc) { SetLayout(dc, LAYOUT_RTL); }, false},
        {"metric mapping", BitmapKind::Dib32TopDown, [](HDC dc) { SetMapMode(dc, MM_LOMETRIC); },
         false},
        {"advanced mode, identity", BitmapKind::Dib32TopDown,
         [](HDC dc) { SetGraphicsMode(dc, GM_ADVANCED); }, true},
    };
    for (const Case &c : cases) {
        Bitmap canvas(c.kind, 12, 7);
        c.apply(canvas.dc());
        MemorySurface bits{};
        const bool direct = DibSectionBits(canvas.dc(), bits);
        if (!CHECK_EQ(direct, c.direct)) {
            std::printf("    %s\n", c.name);
            continue;
        }
        if (!direct) {
            continue;
        }
        // Pixel (x, y) of the surface is the pixel GDI shows at (x, y).
        CHECK_EQ(bits.width, 12);
        CHECK_EQ(bits.height, 7);
        bits.Write(11, 0, 0x123456);
        bits.Write(0, 6, 0xABCDEF);
        CHECK_EQ(canvas.Rgb(11, 0), 0x123456u);
        CHECK_EQ(canvas.Rgb(0, 6), 0xABCDEFu);
        CHECK_EQ(bits.Read(11, 0), 0x123456u);
    }
    GdiSurface none(nullptr);
    CHECK(std::holds_alternative<NullSurface>(TargetFromDeviceContext(nullptr, none)));
}

void GdiSurfacePixels() {
    Bitmap canvas(BitmapKind::DeviceDependent, 4, 4);
    GdiSurface gdi(canvas.dc());
    CHECK(std::holds_alternative<PixelSurface *>(TargetFromDeviceContext(canvas.dc(), gdi)));
    gdi.Write(1, 2, 0x123456);
    CHECK_EQ(GetPixel(canvas.dc(), 1, 2), RGB(0x12, 0x34, 0x56));
    CHECK_EQ(GetBkColor(canvas.dc()), RGB(0x12, 0x34, 0x56));
    CHECK_EQ(gdi.Read(1, 2), 0x123456u);
    // Neighbours untouched: exactly one pixel is painted.
    CHECK_EQ(gdi.Read(2, 2), 0xFFFFFFu);
    CHECK_EQ(gdi.Read(1, 3), 0xFFFFFFu);
    // Outside the bitmap nothing can be read: it reads as ink, so no blend.
    CHECK_EQ(gdi.Read(4, 0), 0u);
    CHECK_EQ(gdi.Read(-1, 0), 0u);
    gdi.Write(-1, 0, 0xFF0000);
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    return wincheck::RunGroups({
        {"HID interface walk", InterfaceWalk},
        {"search without receiver", SearchWithoutReceiver},
        {"overlapped reads", OverlappedReads},
        {"read of a vanished peer fails", ReadOfAVanishedPeerFails},
        {"close with a read in flight", CloseWithReadInFlight},
        {"no handle leaks", NoHandleLeaks},
        {"which device contexts are drawn directly", WhichDeviceContextsAreDrawnDirectly},
        {"GDI surface pixels", GdiSurfacePixels},
    });
}
