#include "CallbackRecorder.h"
#include "FakePlatform.h"
#include "Receiver.h"
#include "ReplayBackend.h"
#include "VirtualClock.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace penlynx {
namespace {

using test::Call;
using test::CallbackRecorder;
using test::FakeInterface;
using test::FakePlatform;
using test::StateCall;
using test::TabletCall;

std::vector<Call> States(std::initializer_list<int> states) {
    std::vector<Call> calls;
    for (int state : states) {
        calls.push_back(StateCall(state));
    }
    return calls;
}

// The library with its reader thread on a virtual clock: seconds of receiver
// behaviour run at once, and the test looks at the callbacks between steps.
class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackRecorder::Take();
        ASSERT_EQ(SDKIni(100, 100), 1);
        receiver = CurrentInstance();
        receiver->clock = &clock;
    }
    void TearDown() override {
        SDKClear();
        CallbackRecorder::Take();
    }
    void PlayScript(std::string_view text) {
        UsePlatform(*receiver, MakeReplayPlatform(ParseReplay(text, "script"), "script", clock));
    }
    std::shared_ptr<test::FakeLog> UseFake(std::vector<FakeInterface> interfaces) {
        auto platform = std::make_unique<FakePlatform>(std::move(interfaces), clock);
        auto log = platform->log();
        UsePlatform(*receiver, std::move(platform));
        return log;
    }
    void Start() {
        ASSERT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &CallbackRecorder::OnState), 2);
    }
    // The callbacks made up to virtual time `ms`.
    std::vector<Call> Until(int ms) {
        EXPECT_TRUE(clock.RunUntil(Millis(ms))) << "the reader did not reach " << ms << " ms";
        return CallbackRecorder::Take();
    }

    test::VirtualClock clock;
    CReceiver *receiver = nullptr;
};

TEST_F(ReaderTest, SilentReceiverReportsIdleOncePerSecond) {
    PlayScript("");
    Start();
    EXPECT_EQ(Until(999), States({}));
    // Opened after the first pause, then five silent seconds.
    EXPECT_EQ(Until(1000), States({1}));
    EXPECT_EQ(Until(6500), States({1, 1, 1, 1, 1}));
}

TEST_F(ReaderTest, EmptyReportsEveryHalfSecondKeepIdleReportsAway) {
    std::string script;
    for (int i = 0; i < 12; ++i) {
        script += "00 00\nwait 500\n";
    }
    PlayScript(script);
    Start();
    EXPECT_EQ(Until(6900), States({1}));
    // The last report came at 6.5 s: a second later the receiver is idle.
    EXPECT_EQ(Until(7400), States({}));
    EXPECT_EQ(Until(7600), States({1}));
}

TEST_F(ReaderTest, RecordsRaiseReceivingBeforeTheirCallbacksAndSilenceEndsIt) {
    PlayScript("wait 300\n"
               "00 0C FF FF FF 07 2A 00 44 44 12 12 2A 00\n"
               "wait 200\n"
               "00 06 E9 E9 60 60 2A 00\n");
    Start();
    const std::vector<Call> expected = {StateCall(1),
                                        StateCall(3),
                                        TabletCall(9, 256, 42, EVENT_KEY),
                                        TabletCall(999, 1110, 42, EVENT_PEN_DOWN),
                                        TabletCall(999, 1110, 42, EVENT_PEN_UP),
                                        StateCall(1)};
    EXPECT_EQ(Until(2600), expected);
}

TEST_F(ReaderTest, UnplugIsReportedOnceAndReplugReopens) {
    PlayScript("wait 2500\nunplug\nwait 3000\nplug\n");
    Start();
    EXPECT_EQ(Until(3400), States({1, 1, 1}));
    // Unplugged at 3.5 s: one report, then silent searches every second.
    EXPECT_EQ(Until(6400), States({0}));
    // Plugged at 6.5 s, found by the search at 6.5 s, idle a second later.
    EXPECT_EQ(Until(7600), States({1, 1}));
}

TEST_F(ReaderTest, ReportsWrittenBeforeAnUnplugArriveBeforeTheLoss) {
    const Call key1 = TabletCall(1, 256, 3, EVENT_KEY);
    const Call key2 = TabletCall(2, 256, 3, EVENT_KEY);
    const Call key5 = TabletCall(5, 256, 3, EVENT_KEY);
    struct Case {
        const char *script;
        std::vector<Call> expected;
    } const cases[] = {
        // Reports and the unplug at the same instant: the reports first.
        {"wait 300\n00 06 FF FF FF 01 03 00\n00 06 FF FF FF 02 03 00\nunplug\n",
         {StateCall(1), StateCall(3), key1, key2, StateCall(0)}},
        // At the very start of the script.
        {"00 06 FF FF FF 01 03 00\nunplug\n", {StateCall(1), StateCall(3), key1, StateCall(0)}},
        // After a replug, the same holds for the new connection; what was
        // sent while unplugged is never heard.
        {"00 06 FF FF FF 01 03 00\nwait 500\nunplug\n00 06 FF FF FF 09 03 00\nwait 2000\n"
         "plug\nwait 500\n00 06 FF FF FF 02 03 00\n00 06 FF FF FF 05 03 00\nunplug\n",
         {StateCall(1), StateCall(3), key1, StateCall(0), StateCall(1), StateCall(3), key2, key5,
          StateCall(0)}},
    };
    for (const Case &c : cases) {
        SDKClear();
        ASSERT_EQ(SDKIni(100, 100), 1);
        receiver = CurrentInstance();
        test::VirtualClock caseClock;
        receiver->clock = &caseClock;
        UsePlatform(*receiver,
                    MakeReplayPlatform(ParseReplay(c.script, "script"), "script", caseClock));
        Start();
        EXPECT_TRUE(caseClock.RunUntil(Millis(6000)));
        SDKClear();
        EXPECT_EQ(CallbackRecorder::Take(), c.expected) << c.script;
    }
}

TEST_F(ReaderTest, LossFoundByThePresenceTestAfterASilentWait) {
    FakeInterface rx{"rx"};
    rx.goneAt = Millis(2500);
    rx.backAt = Millis(5200);
    auto log = UseFake({rx});
    Start();
    EXPECT_EQ(Until(2900), States({1, 1}));
    EXPECT_EQ(Until(5900), States({0}));
    EXPECT_EQ(Until(6100), States({1}));
    EXPECT_EQ(log->Opens("rx"), 2);
    EXPECT_EQ(log->Closes("rx"), 1);
}

TEST_F(ReaderTest, ReadsThatFailOnAPresentReceiverNeitherSpinNorReport) {
    FakeInterface rx{"rx"};
    rx.readsFail = true;
    auto log = UseFake({rx});
    Start();
    EXPECT_EQ(Until(3000), States({1}));
    // One failed read per slice of 10 ms over two seconds.
    EXPECT_GE(log->Reads(), 150);
    EXPECT_LE(log->Reads(), 250);
}

TEST_F(ReaderTest, NoReceiverMeansSilentSearchesEverySecond) {
    auto log = UseFake({});
    Start();
    EXPECT_EQ(Until(5500), States({}));
    std::lock_guard lock(log->mutex);
    EXPECT_EQ(log->lists, 5);
}

TEST_F(ReaderTest, TheThreadOpensItsOwnDeviceAndClosesTheSearchOne) {
    auto log = UseFake({{"rx"}});
    EXPECT_EQ(SDKGetID(), PENLYNX_SEARCH_FOUND);
    Start();
    EXPECT_EQ(Until(1000), States({1}));
    EXPECT_EQ(log->Opens("rx"), 2);
    EXPECT_EQ(log->Closes("rx"), 1);
    // While the thread runs SDKGetID searches nothing and says what it has.
    EXPECT_EQ(SDKGetID(), PENLYNX_SEARCH_FOUND);
    EXPECT_EQ(log->Opens("rx"), 2);
}

TEST_F(ReaderTest, ASecondRegistrationChangesNothing) {
    PlayScript("");
    Start();
    EXPECT_EQ(Until(1000), States({1}));
    const auto otherTablet = [](uint16_t, uint16_t, uint16_t, int32_t) {};
    const auto otherState = [](int32_t, int32_t, int32_t) {};
    EXPECT_EQ(SDKRegCallBack(otherTablet, otherState), 1);
    EXPECT_EQ(SDKRegCallBack(nullptr, nullptr), 1);
    EXPECT_EQ(receiver->onState, &CallbackRecorder::OnState);
    EXPECT_EQ(receiver->onTablet, &CallbackRecorder::OnTablet);
    EXPECT_EQ(Until(2000), States({1}));
}

TEST_F(ReaderTest, ClearStopsTheThreadAndClosesTheReceiver) {
    auto log = UseFake({{"rx"}});
    Start();
    EXPECT_EQ(Until(1500), States({1}));
    EXPECT_EQ(SDKClear(), 1);
    EXPECT_EQ(CurrentInstance(), nullptr);
    EXPECT_EQ(log->Closes("rx"), 1);
    EXPECT_TRUE(log->PlatformDestroyed());
    EXPECT_EQ(CallbackRecorder::Take(), States({}));
}

TEST_F(ReaderTest, ClearWhileSearchingEndsThePause) {
    auto log = UseFake({});
    Start();
    EXPECT_EQ(Until(2500), States({}));
    EXPECT_EQ(SDKClear(), 1);
    EXPECT_TRUE(log->PlatformDestroyed());
}

void PENLYNX_CALL ClearingState(int32_t state, int32_t extentX, int32_t extentY) {
    CallbackRecorder::OnState(state, extentX, extentY);
    EXPECT_EQ(SDKClear(), 1);
}

TEST_F(ReaderTest, ClearFromACallbackReleasesTheInstanceWhenTheThreadEnds) {
    auto log = UseFake({{"rx"}});
    ASSERT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &ClearingState), 2);
    clock.Allow(Millis(5000));
    // The thread ends by itself and releases the instance with the backend.
    for (int i = 0; i < 500 && !log->PlatformDestroyed(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(log->PlatformDestroyed());
    EXPECT_EQ(CurrentInstance(), nullptr);
    EXPECT_EQ(CallbackRecorder::Take(), States({1}));
}

// The real clock and the real one-second constants, once.
TEST(ReaderRealTime, IdleAfterASecondThenRecordsAsTheyCome) {
    CallbackRecorder::Take();
    ASSERT_EQ(SDKIni(100, 100), 1);
    UsePlatform(*CurrentInstance(),
                MakeReplayPlatform(ParseReplay("wait 1500\n00 06 FF FF FF 02 05 00\n", "real"),
                                   "real", SystemClock()));
    EXPECT_EQ(SDKGetID(), PENLYNX_SEARCH_FOUND);
    ASSERT_EQ(SDKRegCallBack(&CallbackRecorder::OnTablet, &CallbackRecorder::OnState), 2);
    // Open at 1 s, idle at 2 s, the key at 2.5 s, idle again at 3.5 s.
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    EXPECT_EQ(SDKClear(), 1);
    const std::vector<Call> expected = {StateCall(1), StateCall(1), StateCall(3),
                                        TabletCall(2, 256, 5, EVENT_KEY)};
    EXPECT_EQ(CallbackRecorder::Take(), expected);
}

} // namespace
} // namespace penlynx
