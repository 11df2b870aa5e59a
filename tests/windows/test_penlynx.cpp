// Penlynx.dll as a program on Windows sees it: loaded by name, the five
// exports bound by their plain names, the lifecycle, ink into device contexts
// through GDI and through DIB sections, the receiver search, and a replayed
// receiver's callbacks.
#include "Check.h"
#include "Surfaces.h"
#include "penlynx.h"

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using wincheck::Bitmap;
using wincheck::BitmapKind;

struct Exports {
    decltype(&SDKIni) Ini = nullptr;
    decltype(&SDKGetID) GetID = nullptr;
    decltype(&SDKRegCallBack) RegCallBack = nullptr;
    decltype(&SDKClear) Clear = nullptr;
    decltype(&SDKDraw) Draw = nullptr;
};

HMODULE g_library = nullptr;
Exports g_sdk;

template <class Function> Function Bind(const char *name) {
    return reinterpret_cast<Function>(reinterpret_cast<void *>(GetProcAddress(g_library, name)));
}

bool LoadPenlynx() {
    g_library = LoadLibraryA("Penlynx.dll");
    if (g_library == nullptr) {
        return false;
    }
    g_sdk.Ini = Bind<decltype(g_sdk.Ini)>("SDKIni");
    g_sdk.GetID = Bind<decltype(g_sdk.GetID)>("SDKGetID");
    g_sdk.RegCallBack = Bind<decltype(g_sdk.RegCallBack)>("SDKRegCallBack");
    g_sdk.Clear = Bind<decltype(g_sdk.Clear)>("SDKClear");
    g_sdk.Draw = Bind<decltype(g_sdk.Draw)>("SDKDraw");
    return g_sdk.Ini && g_sdk.GetID && g_sdk.RegCallBack && g_sdk.Clear && g_sdk.Draw;
}

void SetReceiver(const std::string &value) {
    // The library reads the C runtime's environment, which _putenv changes.
    _putenv_s("PENLYNX_RECEIVER", value.c_str());
}

// ---- callbacks, recorded from the reader thread ----

struct Call {
    bool state;
    int a, b, c, d; // state: code, extent x, extent y; tablet: first, second, id, type
    std::chrono::steady_clock::time_point at;
    DWORD thread;
    bool operator==(const Call &o) const {
        return state == o.state && a == o.a && b == o.b && c == o.c && d == o.d;
    }
};

std::mutex g_callsMutex;
std::vector<Call> g_calls;

void PENLYNX_CALL OnTablet(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
    std::lock_guard lock(g_callsMutex);
    g_calls.push_back(
        {false, first, second, id, type, std::chrono::steady_clock::now(), GetCurrentThreadId()});
}

void PENLYNX_CALL OnState(int32_t state, int32_t extentX, int32_t extentY) {
    std::lock_guard lock(g_callsMutex);
    g_calls.push_back(
        {true, state, extentX, extentY, 0, std::chrono::steady_clock::now(), GetCurrentThreadId()});
}

std::vector<Call> TakeCalls() {
    std::lock_guard lock(g_callsMutex);
    return std::exchange(g_calls, {});
}

size_t CallCount() {
    std::lock_guard lock(g_callsMutex);
    return g_calls.size();
}

Call State(int code) {
    return {true, code, PENLYNX_EXTENT_X, PENLYNX_EXTENT_Y, 0, {}, 0};
}
Call Tablet(int first, int second, int id, int type) {
    return {false, first, second, id, type, {}, 0};
}

void PrintCalls(const std::vector<Call> &calls) {
    for (const Call &call : calls) {
        if (call.state) {
            std::printf("    state %d\n", call.a);
        } else {
            std::printf("    tablet %d %d %d %d\n", call.a, call.b, call.c, call.d);
        }
    }
}

// ---- groups ----

struct PenPoint {
    int x, y, kind;
};

void DrawStrokes(HDC dc, const std::vector<PenPoint> &points, int slot = 0) {
    for (const PenPoint &p : points) {
        g_sdk.Draw(slot, dc, p.x, p.y, p.kind);
    }
}

int InkedPixels(const std::vector<uint32_t> &words) {
    int inked = 0;
    for (uint32_t word : words) {
        inked += (word & 0xFFFFFF) != 0xFFFFFF;
    }
    return inked;
}

void ExportsByPlainName() {
    CHECK(g_sdk.Ini != nullptr);
    CHECK(g_sdk.GetID != nullptr);
    CHECK(g_sdk.RegCallBack != nullptr);
    CHECK(g_sdk.Clear != nullptr);
    CHECK(g_sdk.Draw != nullptr);
    // The decorated forms are not exported.
    for (const char *decorated : {"SDKIni@8", "_SDKIni@8", "SDKDraw@20", "_SDKGetID@0"}) {
        CHECK(GetProcAddress(g_library, decorated) == nullptr);
    }
}

void Lifecycle() {
    Bitmap canvas(BitmapKind::Dib32TopDown, 20, 20);
    struct Step {
        const char *what;
        int result;
        int expected;
    };
    // Each row runs in order on the one process-wide instance.
    const Step steps[] = {
        {"SDKClear without instance", g_sdk.Clear(), 1},
        {"SDKClear again", g_sdk.Clear(), 1},
        {"SDKDraw without instance", g_sdk.Draw(0, canvas.dc(), 10, 10, 1), 0},
        {"SDKGetID without instance", g_sdk.GetID(), 0},
        {"SDKRegCallBack without instance", g_sdk.RegCallBack(&OnTablet, &OnState), 0},
        {"SDKIni", g_sdk.Ini(20, 20), 1},
        {"SDKIni with an instance", g_sdk.Ini(20, 20), 0},
        {"SDKDraw after that", g_sdk.Draw(0, canvas.dc(), 10, 10, 1), 0},
        {"SDKIni once more", g_sdk.Ini(20, 20), 1},
        {"SDKDraw slot -1", g_sdk.Draw(-1, canvas.dc(), 10, 10, 1), 0},
        {"SDKDraw slot 100", g_sdk.Draw(100, canvas.dc(), 10, 10, 1), 0},
        {"SDKDraw kind 0", g_sdk.Draw(0, canvas.dc(), 10, 10, 0), 1},
        {"SDKDraw kind 3", g_sdk.Draw(99, canvas.dc(), 10, 10, 3), 1},
        {"SDKRegCallBack without tablet callback", g_sdk.RegCallBack(nullptr, &OnState), 0},
        {"SDKRegCallBack without state callback", g_sdk.RegCallBack(&OnTablet, nullptr), 0},
        // 2, not 1: the refused registrations started no thread.
        {"SDKRegCallBack", g_sdk.RegCallBack(&OnTablet, &OnState), 2},
        {"SDKRegCallBack while the thread runs", g_sdk.RegCallBack(&OnTablet, &OnState), 1},
        {"SDKClear", g_sdk.Clear(), 1},
        {"SDKClear after that", g_sdk.Clear(), 1},
    };
    for (const Step &step : steps) {
        if (!CHECK_EQ(step.result, step.expected)) {
            std::printf("    in: %s\n", step.what);
        }
    }
    // Nothing was drawn by the refused slots and the kinds that draw nothing.
    CHECK_EQ(InkedPixels(canvas.Words()), 0);
    TakeCalls();
}

// Kind 1 at (10, 10) on white: the four middle pixels get coverage 154, the
// eight around them coverage 20.
void FirstStampOn(BitmapKind kind, const char *name) {
    Bitmap canvas(kind, 20, 20);
    CHECK(canvas.Valid());
    CHECK_EQ(g_sdk.Ini(20, 20), 1);
    CHECK_EQ(g_sdk.Draw(0, canvas.dc(), 10, 10, 1), 1);
    g_sdk.Clear();
    auto grey = [](int v) { return static_cast<uint32_t>(v * 0x010101); };
    int mismatches = 0;
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const bool inner = (x == 9 || x == 10) && (y == 9 || y == 10);
            const bool edge = ((x == 9 || x == 10) && (y == 8 || y == 11)) ||
                              ((y == 9 || y == 10) && (x == 8 || x == 11));
            const uint32_t expected = inner ? grey(101) : edge ? grey(235) : grey(255);
            if (canvas.Rgb(x, y) != expected) {
                if (++mismatches <= 4) {
                    std::printf("    %s: pixel (%d, %d) is %06X, expected %06X\n", name, x, y,
                                canvas.Rgb(x, y), expected);
                }
            }
        }
    }
    CHECK_EQ(mismatches, 0);
}

void FirstStamp() {
    FirstStampOn(BitmapKind::DeviceDependent, "device-dependent bitmap");
    FirstStampOn(BitmapKind::Dib32TopDown, "top-down DIB");
    FirstStampOn(BitmapKind::Dib32BottomUp, "bottom-up DIB");
    FirstStampOn(BitmapKind::Dib32Bitfields, "DIB with bit fields");
    FirstStampOn(BitmapKind::Dib24, "24-bit DIB");
}

// The GDI path paints with opaque rectangles, which leave the background
// colour at the last colour painted: (10, 11), coverage 20.
void GdiPathLeavesBackgroundColour() {
    Bitmap canvas(BitmapKind::DeviceDependent, 20, 20);
    SetBkColor(canvas.dc(), RGB(1, 2, 3));
    g_sdk.Ini(20, 20);
    g_sdk.Draw(0, canvas.dc(), 10, 10, 1);
    g_sdk.Clear();
    CHECK_EQ(GetBkColor(canvas.dc()), RGB(235, 235, 235));
}

// Three strokes, with turns, a dot, a repeated point and a stroke that runs
// off the bitmap's left and bottom edges.
std::vector<PenPoint> Strokes() {
    std::vector<PenPoint> points;
    for (int i = 0; i <= 40; ++i) {
        points.push_back({10 + i * 3, 20 + (i * i) % 37, i == 0 ? 1 : 2});
    }
    points.push_back({60, 60, 1});
    points.push_back({60, 60, 2});
    for (int i = 0; i <= 30; ++i) {
        points.push_back({30 - i * 2, 70 + i * 2, i == 0 ? 1 : 2});
    }
    return points;
}

// The same strokes give the same words through GDI and straight into the
// bits, whatever the row order.
void LongStrokeSamePixelsOnBothPaths() {
    constexpr int kWidth = 140, kHeight = 90;
    Bitmap gdi(BitmapKind::DeviceDependent, kWidth, kHeight);
    Bitmap topDown(BitmapKind::Dib32TopDown, kWidth, kHeight);
    Bitmap bottomUp(BitmapKind::Dib32BottomUp, kWidth, kHeight);
    Bitmap dib24(BitmapKind::Dib24, kWidth, kHeight);
    g_sdk.Ini(kWidth, kHeight);
    // Slots draw independently: one slot per surface.
    DrawStrokes(gdi.dc(), Strokes(), 1);
    DrawStrokes(topDown.dc(), Strokes(), 2);
    DrawStrokes(bottomUp.dc(), Strokes(), 3);
    DrawStrokes(dib24.dc(), Strokes(), 4);
    g_sdk.Clear();
    const std::vector<uint32_t> expected = gdi.Words();
    int black = 0;
    for (uint32_t word : expected) {
        black += (word & 0xFFFFFF) == 0;
    }
    // A real stroke: hundreds of pixels, some fully black.
    CHECK(InkedPixels(expected) > 300);
    CHECK(black > 0);
    for (const Bitmap *bitmap : {&topDown, &bottomUp, &dib24}) {
        const std::vector<uint32_t> words = bitmap->Words();
        for (size_t i = 0; i < words.size(); ++i) {
            if (words[i] != expected[i]) {
                std::printf("    first difference at (%zu, %zu): %08X, through GDI %08X\n",
                            i % kWidth, i / kWidth, words[i], expected[i]);
                break;
            }
        }
        CHECK(words == expected);
    }
}

// A DIB section whose device context maps or clips is drawn through GDI, so
// that the pixels land where GDI puts them.
void MappedAndClippedDeviceContexts() {
    struct Setup {
        const char *name;
        void (*apply)(HDC);
    };
    const Setup setups[] = {
        {"viewport origin", [](HDC dc) { SetViewportOrgEx(dc, 5, 3, nullptr); }},
        {"window origin", [](HDC dc) { SetWindowOrgEx(dc, -4, -6, nullptr); }},
        {"clip rectangle", [](HDC dc) { IntersectClipRect(dc, 0, 0, 10, 10); }},
        {"mirrored layout", [](HDC dc) { SetLayout(dc, LAYOUT_RTL); }},
        {"world transform",
         [](HDC dc) {
             SetGraphicsMode(dc, GM_ADVANCED);
             const XFORM shift{1, 0, 0, 1, 7, 2};
             SetWorldTransform(dc, &shift);
         }},
    };
    for (const Setup &setup : setups) {
        Bitmap gdi(BitmapKind::DeviceDependent, 40, 30);
        Bitmap dib(BitmapKind::Dib32TopDown, 40, 30);
        setup.apply(gdi.dc());
        setup.apply(dib.dc());
        const std::vector<PenPoint> stroke = {{10, 10, 1}, {16, 12, 2}};
        g_sdk.Ini(40, 30);
        DrawStrokes(gdi.dc(), stroke, 0);
        DrawStrokes(dib.dc(), stroke, 1);
        g_sdk.Clear();
        const std::vector<uint32_t> words = dib.Words();
        // Without the mapping or the clip, (10, 10) would be grey.
        const bool ok = CHECK(words == gdi.Words()) && CHECK(InkedPixels(words) > 0) &&
                        CHECK_EQ(words[10 * 40 + 10] & 0xFFFFFF, 0xFFFFFFu);
        if (!ok) {
            std::printf("    with %s\n", setup.name);
        }
    }
}

// The row order of a bottom-up DIB section is found whatever its corner
// pixels hold, also when the bottom-left pixel differs from the top-left one
// only in the lowest bit: the stroke lands where GDI puts it.
void RowOrderWhateverTheColours() {
    struct Case {
        BitmapKind kind;
        COLORREF topLeft, bottomLeft;
    } const cases[] = {
        {BitmapKind::Dib32BottomUp, RGB(255, 255, 255), RGB(254, 255, 255)},
        {BitmapKind::Dib32BottomUp, RGB(0, 0, 1), RGB(0, 0, 0)},
        {BitmapKind::Dib32BottomUp, RGB(10, 200, 30), RGB(10, 200, 30)},
        {BitmapKind::Dib32TopDown, RGB(255, 255, 255), RGB(254, 255, 255)},
        {BitmapKind::Dib32TopDown, RGB(7, 7, 6), RGB(7, 7, 7)},
    };
    for (const Case &c : cases) {
        Bitmap gdi(BitmapKind::DeviceDependent, 20, 20);
        Bitmap dib(c.kind, 20, 20);
        for (const Bitmap *bitmap : {&gdi, &dib}) {
            SetPixel(bitmap->dc(), 0, 0, c.topLeft);
            SetPixel(bitmap->dc(), 0, 19, c.bottomLeft);
        }
        g_sdk.Ini(20, 20);
        DrawStrokes(gdi.dc(), {{10, 4, 1}, {14, 5, 2}}, 0);
        DrawStrokes(dib.dc(), {{10, 4, 1}, {14, 5, 2}}, 1);
        g_sdk.Clear();
        const std::vector<uint32_t> words = dib.Words();
        // The stroke is in the upper half, as drawn (the corners aside).
        const auto half = [&](int firstRow) {
            std::vector<uint32_t> part;
            for (int y = firstRow; y < firstRow + 10; ++y) {
                part.insert(part.end(), words.begin() + y * 20 + 1, words.begin() + y * 20 + 20);
            }
            return InkedPixels(part);
        };
        const bool ok = CHECK(words == gdi.Words()) && CHECK(half(0) > 8) && CHECK_EQ(half(10), 0);
        if (!ok) {
            std::printf("    %s DIB, corners %06lX and %06lX\n",
                        c.kind == BitmapKind::Dib32BottomUp ? "bottom-up" : "top-down",
                        static_cast<unsigned long>(c.topLeft),
                        static_cast<unsigned long>(c.bottomLeft));
        }
    }
}

// Puts `other`'s bitmap into `into`'s device context for the length of a
// scope (a bitmap can be selected into one device context at a time).
class Borrowed {
public:
    Borrowed(const Bitmap &into, const Bitmap &other)
        : dc_(into.dc()), otherDc_(other.dc()), placeholder_(CreateBitmap(1, 1, 1, 1, nullptr)) {
        SelectObject(otherDc_, placeholder_);
        previous_ = SelectObject(dc_, other.bitmap());
    }
    ~Borrowed() {
        HGDIOBJ bitmap = SelectObject(dc_, previous_);
        SelectObject(otherDc_, bitmap);
        DeleteObject(placeholder_);
    }
    Borrowed(const Borrowed &) = delete;
    Borrowed &operator=(const Borrowed &) = delete;

private:
    HDC dc_;
    HDC otherDc_;
    HBITMAP placeholder_;
    HGDIOBJ previous_ = nullptr;
};

// One slot keeps drawing through one device context while what the context
// holds changes between the points: its mapping, its clip, the bitmap
// selected into it. Every point lands where GDI puts it.
void DeviceContextChangesBetweenPoints() {
    Bitmap gdiA(BitmapKind::DeviceDependent, 60, 40);
    Bitmap gdiB(BitmapKind::DeviceDependent, 30, 50);
    Bitmap dibA(BitmapKind::Dib32TopDown, 60, 40);
    Bitmap dibB(BitmapKind::Dib32BottomUp, 30, 50);
    g_sdk.Ini(60, 50);
    const auto both = [](const Bitmap &gdi, const Bitmap &dib, auto step) {
        step(gdi.dc(), 0);
        step(dib.dc(), 1);
    };
    // Drawn straight into A's bits first, which the slot then remembers.
    both(gdiA, dibA, [](HDC dc, int slot) { DrawStrokes(dc, {{5, 5, 1}, {20, 8, 2}}, slot); });
    // The viewport moves: the next points go through GDI's mapping.
    both(gdiA, dibA, [](HDC dc, int slot) {
        SetViewportOrgEx(dc, 4, 9, nullptr);
        DrawStrokes(dc, {{30, 10, 2}, {40, 20, 2}}, slot);
        SetViewportOrgEx(dc, 0, 0, nullptr);
    });
    // A clip rectangle cuts the next line.
    both(gdiA, dibA, [](HDC dc, int slot) {
        IntersectClipRect(dc, 0, 0, 45, 40);
        DrawStrokes(dc, {{55, 30, 2}}, slot);
        SelectClipRgn(dc, nullptr);
    });
    // Another bitmap, of another size and row order, in the same context.
    {
        Borrowed gdi(gdiA, gdiB);
        Borrowed dib(dibA, dibB);
        both(gdiA, dibA, [](HDC dc, int slot) {
            DrawStrokes(dc, {{5, 40, 1}, {25, 44, 2}, {25, 44, 2}}, slot);
        });
    }
    // And A again, unmapped and unclipped.
    both(gdiA, dibA, [](HDC dc, int slot) { DrawStrokes(dc, {{10, 30, 1}, {30, 32, 2}}, slot); });
    g_sdk.Clear();
    const std::vector<uint32_t> a = dibA.Words();
    const std::vector<uint32_t> b = dibB.Words();
    CHECK(a == gdiA.Words());
    CHECK(b == gdiB.Words());
    CHECK(InkedPixels(a) > 100);
    CHECK(InkedPixels(b) > 20);
    // Nothing of B's stroke went into A.
    CHECK_EQ(InkedPixels(std::vector<uint32_t>(a.begin() + 38 * 60, a.end())), 0);
}

// The library's diagnostics reach the debugger's output: OutputDebugString
// raises a first-chance exception carrying the text, which a vectored
// handler sees.
std::mutex g_debugMutex;
std::string g_debugOutput;

LONG CALLBACK CatchDebugOutput(EXCEPTION_POINTERS *info) {
    const EXCEPTION_RECORD *record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
        std::lock_guard lock(g_debugMutex);
        g_debugOutput += reinterpret_cast<const char *>(record->ExceptionInformation[1]);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void DiagnosticsReachTheDebugger() {
    void *handler = AddVectoredExceptionHandler(1, &CatchDebugOutput);
    SetReceiver("no-such-backend");
    g_sdk.Ini(10, 10);
    g_sdk.GetID();
    g_sdk.Clear();
    SetReceiver("");
    RemoveVectoredExceptionHandler(handler);
    std::lock_guard lock(g_debugMutex);
    const bool said = CHECK(g_debugOutput.find("penlynx: PENLYNX_RECEIVER='no-such-backend' "
                                               "names no receiver backend") != std::string::npos);
    if (!said) {
        std::printf("    debugger output: '%s'\n", g_debugOutput.c_str());
    }
}

// A bitmap smaller than the drawing size: the part outside it is skipped,
// on both paths alike.
void BitmapSmallerThanDrawingSize() {
    Bitmap gdi(BitmapKind::DeviceDependent, 8, 8);
    Bitmap dib(BitmapKind::Dib32BottomUp, 8, 8);
    const std::vector<PenPoint> stroke = {{6, 6, 1}, {60, 7, 2}, {7, 90, 2}};
    g_sdk.Ini(100, 100);
    DrawStrokes(gdi.dc(), stroke, 0);
    DrawStrokes(dib.dc(), stroke, 1);
    g_sdk.Clear();
    const std::vector<uint32_t> expected = gdi.Words();
    CHECK((expected[6 * 8 + 6] & 0xFFFFFF) != 0xFFFFFF);
    CHECK(dib.Words() == expected);
}

// A null device context draws nothing, but the stroke moves on: the next
// point continues from it.
void NullDeviceContextAdvancesTheStroke() {
    Bitmap scratch(BitmapKind::Dib32TopDown, 60, 30);
    Bitmap afterNull(BitmapKind::Dib32TopDown, 60, 30);
    Bitmap afterDrawn(BitmapKind::Dib32TopDown, 60, 30);
    Bitmap withoutMiddle(BitmapKind::Dib32TopDown, 60, 30);
    g_sdk.Ini(60, 30);
    CHECK_EQ(g_sdk.Draw(0, nullptr, 10, 10, 1), 1);
    CHECK_EQ(g_sdk.Draw(0, nullptr, 20, 10, 2), 1);
    g_sdk.Draw(0, afterNull.dc(), 40, 12, 2);
    g_sdk.Draw(1, scratch.dc(), 10, 10, 1);
    g_sdk.Draw(1, scratch.dc(), 20, 10, 2);
    g_sdk.Draw(1, afterDrawn.dc(), 40, 12, 2);
    g_sdk.Draw(2, scratch.dc(), 10, 10, 1);
    g_sdk.Draw(2, withoutMiddle.dc(), 40, 12, 2);
    g_sdk.Clear();
    const std::vector<uint32_t> words = afterNull.Words();
    CHECK(words == afterDrawn.Words());
    // The middle point matters: without it the line is another.
    CHECK(words != withoutMiddle.Words());
}

void SearchWithoutReceiver() {
    struct Case {
        const char *receiver;
        int expected;
    };
    // Wine has HID devices of its own, none of them the receiver.
    const Case cases[] = {{"", PENLYNX_SEARCH_NONE},
                          {"hid", PENLYNX_SEARCH_NONE},
                          {"no-such-backend", PENLYNX_SEARCH_NONE}};
    for (const Case &c : cases) {
        SetReceiver(c.receiver);
        g_sdk.Ini(10, 10);
        if (!CHECK_EQ(g_sdk.GetID(), c.expected)) {
            std::printf("    PENLYNX_RECEIVER='%s'\n", c.receiver);
        }
        g_sdk.Clear();
    }
}

std::string TempFile(const char *name) {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    return std::string(directory) + name;
}

// A key and a pen point, a key 7 and an unsolvable point, a second and a half
// of silence, a pen-up.
constexpr char kReplay[] = "# penlynx windows check\n"
                           "wait 300\n"
                           "00 0C FF FF FF 03 07 00 44 44 12 12 07 00\n"
                           "00 0C FF FF FF 07 2A 00 00 00 00 00 01 00\n"
                           "wait 1500\n"
                           "00 06 E9 E9 60 60 07 00\n";

void ReplayedCallbacks() {
    const std::string path = TempFile("penlynx-check-replay.txt");
    std::ofstream(path, std::ios::binary) << kReplay;
    SetReceiver("replay:" + path);
    TakeCalls();
    g_sdk.Ini(100, 100);
    CHECK_EQ(g_sdk.GetID(), PENLYNX_SEARCH_FOUND);
    const auto registered = std::chrono::steady_clock::now();
    CHECK_EQ(g_sdk.RegCallBack(&OnTablet, &OnState), 2);
    const std::vector<Call> expected = {
        State(STATE_IDLE),       State(STATE_RECEIVING), Tablet(3, 256, 7, 4),
        Tablet(999, 1110, 7, 1), Tablet(9, 256, 42, 4),  Tablet(65535, 65535, 1, 1),
        State(STATE_IDLE),       State(STATE_RECEIVING), Tablet(999, 1110, 7, 2),
    };
    // The script takes about three seconds; a loaded machine gets more.
    const auto deadline = registered + std::chrono::seconds(10);
    while (CallCount() < expected.size() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    g_sdk.Clear();
    const std::vector<Call> calls = TakeCalls();
    if (!CHECK(calls == expected)) {
        PrintCalls(calls);
    }
    if (!calls.empty()) {
        // The reader thread pauses a second before its first search.
        const auto firstAfter = calls.front().at - registered;
        CHECK(firstAfter >= std::chrono::milliseconds(900));
        CHECK(firstAfter < std::chrono::milliseconds(3000));
    }
    // Callbacks run on the library's reader thread.
    for (const Call &call : calls) {
        CHECK(call.thread != GetCurrentThreadId());
    }
    // Nothing is called once SDKClear has returned.
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    CHECK(TakeCalls().empty());
    SetReceiver("");
    DeleteFileA(path.c_str());
}

} // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (!LoadPenlynx()) {
        std::printf("Penlynx.dll or one of its exports cannot be loaded (error %lu)\n",
                    GetLastError());
        std::printf("0 passed, 1 failed\n");
        return 1;
    }
    const int result = wincheck::RunGroups({
        {"exports by plain name", ExportsByPlainName},
        {"lifecycle", Lifecycle},
        {"first stamp on every kind of bitmap", FirstStamp},
        {"GDI path leaves the background colour", GdiPathLeavesBackgroundColour},
        {"long stroke, same pixels on both paths", LongStrokeSamePixelsOnBothPaths},
        {"mapped and clipped device contexts", MappedAndClippedDeviceContexts},
        {"row order whatever the colours", RowOrderWhateverTheColours},
        {"device context changes between points", DeviceContextChangesBetweenPoints},
        {"bitmap smaller than the drawing size", BitmapSmallerThanDrawingSize},
        {"null device context advances the stroke", NullDeviceContextAdvancesTheStroke},
        {"search without receiver", SearchWithoutReceiver},
        {"replayed receiver through the callbacks", ReplayedCallbacks},
        {"diagnostics reach the debugger", DiagnosticsReachTheDebugger},
    });
    FreeLibrary(g_library);
    return result;
}
