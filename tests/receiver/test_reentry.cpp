// Callbacks that call back into the library: SDKClear and SDKIni from inside
// a callback, while the caller's thread draws and asks for the receiver.
#include "CallbackRecorder.h"
#include "Receiver.h"
#include "ReplayBackend.h"
#include "VirtualClock.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace penlynx {
namespace {

using test::Call;
using test::CallbackRecorder;
using test::StateCall;
using test::TabletCall;

// What the re-entering callbacks do and saw; reset by every test.
std::atomic<int> g_tabletCalls{0};
std::atomic<int> g_clearAt{0}; // SDKClear at this tablet call
std::atomic<int> g_reiniAt{0}; // SDKIni twice at this tablet call
std::atomic<bool> g_cleared{false};
std::atomic<int> g_draws{0}; // SDKDraw calls the caller's thread made

void PENLYNX_CALL CountingTablet(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
    CallbackRecorder::OnTablet(first, second, id, type);
    const int n = ++g_tabletCalls;
    if (n == g_clearAt.load()) {
        // Released while the caller's thread is busy drawing: inside SDKDraw
        // or about to enter it.
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        const int from = g_draws.load();
        while (g_draws.load() < from + 20 && std::chrono::steady_clock::now() < limit) {
            std::this_thread::yield();
        }
        EXPECT_EQ(SDKClear(), 1);
        g_cleared = true;
    }
    if (n == g_reiniAt.load()) {
        EXPECT_EQ(SDKIni(640, 480), 0) << "the first SDKIni releases";
        EXPECT_EQ(SDKIni(30, 20), 1) << "the second creates";
        g_cleared = true;
    }
}

void PENLYNX_CALL ClearingOnReceiving(int32_t state, int32_t extentX, int32_t extentY) {
    CallbackRecorder::OnState(state, extentX, extentY);
    if (state == STATE_RECEIVING) {
        EXPECT_EQ(SDKClear(), 1);
        g_cleared = true;
    }
}

// `count` key reports of tablet 5, all sent 100 ms after the receiver opened:
// they queue up and are read back to back.
std::string KeyReports(int count) {
    std::string script = "wait 100\n";
    for (int i = 0; i < count; ++i) {
        script += "00 06 FF FF FF 02 05 00\n";
    }
    return script;
}

class ReentryTest : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackRecorder::Take();
        g_tabletCalls = 0;
        g_clearAt = 0;
        g_reiniAt = 0;
        g_cleared = false;
        g_draws = 0;
    }
    void TearDown() override {
        SDKClear();
        EXPECT_EQ(RetiredInstances(), 0u);
        CallbackRecorder::Take();
    }
    void Start(std::string_view script, DeviceStateCallback onState) {
        ASSERT_EQ(SDKIni(200, 100), 1);
        CurrentInstance()->clock = &clock;
        UsePlatform(*CurrentInstance(),
                    MakeReplayPlatform(ParseReplay(script, "script"), "script", clock));
        ASSERT_EQ(SDKRegCallBack(&CountingTablet, onState), 2);
        // Virtual time runs freely: the reader reads as fast as it can.
        clock.Allow(Millis(60000));
    }
    // Calls `step` until the library has been released from a callback and
    // the released instance is gone; false if that takes seconds.
    template <class Step> bool RunUntilReleased(Step step) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < limit) {
            step();
            if (g_cleared.load() && RetiredInstances() == 0) {
                return true;
            }
        }
        return false;
    }

    test::VirtualClock clock;
};

TEST_F(ReentryTest, ClearFromAStateCallbackStopsTheRecordsThatFollowIt) {
    Start("wait 100\n00 0C FF FF FF 02 05 00 FF FF FF 03 05 00\n"
          "00 06 FF FF FF 04 05 00\n",
          &ClearingOnReceiving);
    ASSERT_TRUE(RunUntilReleased([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        SDKGetID();
    }));
    // Receiving was reported before the first record; its record and the
    // rest were not.
    EXPECT_EQ(CallbackRecorder::Take(), (std::vector<Call>{StateCall(1), StateCall(3)}));
    EXPECT_EQ(CurrentInstance(), nullptr);
}

TEST_F(ReentryTest, ClearFromATabletCallbackWhileTheCallerDraws) {
    g_clearAt = 40;
    Start(KeyReports(400), &CallbackRecorder::OnState);
    std::vector<uint32_t> pixels(200 * 100, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 200, 100, 800};
    int drawn = 0;
    ASSERT_TRUE(RunUntilReleased([&] {
        // A long line per call keeps the caller inside SDKDraw most of the time.
        if (SDKDraw(3, &surface, 10, 10 + drawn % 80, 1) == 1 &&
            SDKDraw(3, &surface, 190, 90 - drawn % 80, 2) == 1) {
            ++drawn;
        }
        ++g_draws;
        const int search = SDKGetID();
        EXPECT_TRUE(search == 0 || search == PENLYNX_SEARCH_FOUND || search == PENLYNX_SEARCH_NONE);
    }));
    EXPECT_EQ(g_tabletCalls.load(), 40) << "a tablet callback after SDKClear returned";
    EXPECT_GE(drawn, 20);
    EXPECT_EQ(CurrentInstance(), nullptr);
    EXPECT_EQ(SDKDraw(3, &surface, 10, 10, 1), 0);
    EXPECT_EQ(SDKGetID(), 0);
}

TEST_F(ReentryTest, IniFromACallbackReleasesAndTheNextOneStartsAfresh) {
    g_reiniAt = 3;
    Start(KeyReports(50), &CallbackRecorder::OnState);
    std::vector<uint32_t> pixels(200 * 100, 0xFFFFFFFF);
    PenlynxSurface surface{pixels.data(), 200, 100, 800};
    ASSERT_TRUE(RunUntilReleased([&] { SDKDraw(0, &surface, 25, 15, 1); }));
    EXPECT_EQ(g_tabletCalls.load(), 3);
    // The caller now draws on the fresh instance, clipped to its 30 x 20.
    CReceiver *fresh = CurrentInstance();
    ASSERT_NE(fresh, nullptr);
    EXPECT_FALSE(fresh->reader.joinable());
    std::fill(pixels.begin(), pixels.end(), 0xFFFFFFFF);
    EXPECT_EQ(SDKDraw(0, &surface, 29, 5, 1), 1);
    EXPECT_NE(pixels[4 * 200 + 28], 0xFFFFFFFFu);
    for (int y = 0; y < 100; ++y) {
        for (int x = 30; x < 200; ++x) {
            ASSERT_EQ(pixels[static_cast<size_t>(y * 200 + x)], 0xFFFFFFFFu) << x << "," << y;
        }
    }
}

} // namespace
} // namespace penlynx
