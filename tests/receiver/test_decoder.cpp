#include "CallbackRecorder.h"
#include "Decoder.h"
#include "Geometry.h"
#include "Receiver.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace penlynx {
namespace {

using test::CallbackRecorder;
using test::StateCall;
using test::TabletCall;

ReportBuffer Report(int lengthByte, std::initializer_list<uint8_t> records) {
    ReportBuffer report{};
    report[1] = static_cast<uint8_t>(lengthByte);
    size_t at = kRecordsOffset;
    for (uint8_t byte : records) {
        report[at++] = byte;
    }
    return report;
}

class DecoderTest : public ::testing::Test {
protected:
    void SetUp() override {
        CallbackRecorder::Take();
        receiver.onTablet = &CallbackRecorder::OnTablet;
        receiver.onState = &CallbackRecorder::OnState;
        // An open receiver already receiving: only the tablet calls show.
        receiver.statusFlags = FLAG_OPEN | FLAG_TRAFFIC;
    }
    std::vector<test::Call> Dispatch(const ReportBuffer &report) {
        DispatchReport(receiver, report);
        return CallbackRecorder::Take();
    }
    CReceiver receiver{800, 500};
};

struct RecordCase {
    const char *name;
    std::array<uint8_t, 6> record;
    test::Call expected;
};

TEST_F(DecoderTest, SingleRecordsDecodeToTheirCallbacks) {
    const RecordCase cases[] = {
        {"key 7 is delivered as 9",
         {0xFF, 0xFF, 0xFF, 0x07, 0x2A, 0x00},
         TabletCall(9, 256, 42, 4)},
        {"key 3, tablet 257", {0xFF, 0xFF, 0xFF, 0x03, 0x01, 0x01}, TabletCall(3, 256, 257, 4)},
        {"key 1", {0xFF, 0xFF, 0xFF, 0x01, 0xFF, 0xFF}, TabletCall(1, 256, 65535, 4)},
        {"signal record", {0xFF, 0xFF, 0xFF, 0x7F, 0x05, 0x00}, TabletCall(256, 256, 5, 3)},
        {"A = B = 4676", {0x44, 0x44, 0x12, 0x12, 0x10, 0x00}, TabletCall(999, 1110, 16, 1)},
        {"A = B = 24809 is pen-up",
         {0xE9, 0xE9, 0x60, 0x60, 0x10, 0x00},
         TabletCall(999, 1110, 16, 2)},
        {"A = 4563, B = 4877", {0xD3, 0x0D, 0x13, 0x11, 0x07, 0x00}, TabletCall(999, 1360, 7, 1)},
        {"all zero: no solution", {0, 0, 0, 0, 0, 0}, TabletCall(65535, 65535, 0, 1)},
        {"A = B = 22300: pen-up, then negative",
         {0x1C, 0x1C, 0x57, 0x57, 1, 0},
         TabletCall(65535, 65535, 1, 2)},
    };
    for (const auto &c : cases) {
        ReportBuffer report = Report(6, {});
        std::copy(c.record.begin(), c.record.end(), report.begin() + kRecordsOffset);
        EXPECT_EQ(Dispatch(report), std::vector{c.expected}) << c.name;
    }
}

// Builds the 4 data bytes of a position record from counts A and B.
std::array<uint8_t, 6> Counts(uint16_t a, uint16_t b) {
    return {static_cast<uint8_t>(a & 0xFF),
            static_cast<uint8_t>(b & 0xFF),
            static_cast<uint8_t>(b >> 8),
            static_cast<uint8_t>(a >> 8),
            1,
            0};
}

TEST_F(DecoderTest, ClassifiesPositionRecordsByTheirCounts) {
    struct Case {
        uint16_t a, b;
        int32_t type;
    } const cases[] = {
        {4676, 0xBBBB, EVENT_MARKER},
        {30000, 0xBBBB, EVENT_MARKER},
        {0, 0xBBBB, EVENT_MARKER},
        {22300, 34048, EVENT_PEN_DOWN}, // the bound on B is exclusive
        {22300, 34047, EVENT_PEN_UP},
        {22299, 30000, EVENT_PEN_DOWN},
        {22300, 22299, EVENT_PEN_DOWN},
        {22300, 22300, EVENT_PEN_UP},
        {65535, 22300, EVENT_PEN_UP}, // no upper bound on A
        {4676, 4676, EVENT_PEN_DOWN},
    };
    for (const auto &c : cases) {
        ReportBuffer report = Report(6, {});
        const auto record = Counts(c.a, c.b);
        std::copy(record.begin(), record.end(), report.begin() + kRecordsOffset);
        const auto calls = Dispatch(report);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].d, c.type) << "A=" << c.a << " B=" << c.b;
    }
}

TEST_F(DecoderTest, PenUpSubtractsTheOffsetFromBothCounts) {
    for (uint16_t count : {uint16_t{4676}, uint16_t{5000}, uint16_t{9000}}) {
        ReportBuffer down = Report(6, {});
        ReportBuffer up = Report(6, {});
        const auto d = Counts(count, count);
        const auto u = Counts(count + kPenUpOffset, count + kPenUpOffset);
        std::copy(d.begin(), d.end(), down.begin() + kRecordsOffset);
        std::copy(u.begin(), u.end(), up.begin() + kRecordsOffset);
        const auto downCalls = Dispatch(down);
        const auto upCalls = Dispatch(up);
        ASSERT_EQ(upCalls.size(), 1u);
        EXPECT_EQ(upCalls[0].a, downCalls[0].a);
        EXPECT_EQ(upCalls[0].b, downCalls[0].b);
        EXPECT_EQ(upCalls[0].d, EVENT_PEN_UP);
    }
}

TEST_F(DecoderTest, RecordCountFollowsTheSignedLengthByte) {
    // A key record (tablet 1) in every one of the 21 possible slots.
    ReportBuffer full{};
    for (int k = 0; k < kMaxRecordsPerReport + 1; ++k) {
        uint8_t *r = full.data() + kRecordsOffset + k * kRecordSize;
        r[0] = r[1] = r[2] = 0xFF;
        r[3] = 1;
        r[4] = 1;
    }
    struct Case {
        int lengthByte;
        size_t records;
    } const cases[] = {{0, 0},  {1, 0},    {5, 0},    {6, 1},   {11, 1},  {12, 2},
                       {13, 2}, {126, 21}, {127, 21}, {128, 0}, {200, 0}, {255, 0}};
    for (const auto &c : cases) {
        ReportBuffer report = full;
        report[1] = static_cast<uint8_t>(c.lengthByte);
        EXPECT_EQ(Dispatch(report).size(), c.records) << "length byte " << c.lengthByte;
    }
}

TEST_F(DecoderTest, RecordsPastTheDeliveredBytesReadAsZero) {
    // Payload length 12 but only one record delivered: the second is all zero.
    const auto report = Report(12, {0xFF, 0xFF, 0xFF, 0x02, 0x09, 0x00});
    EXPECT_EQ(Dispatch(report),
              (std::vector{TabletCall(2, 256, 9, 4), TabletCall(65535, 65535, 0, 1)}));
}

TEST_F(DecoderTest, EmptyReportsChangeNoState) {
    receiver.statusFlags = FLAG_OPEN;
    for (int length : {0, 5, 128, 255}) {
        EXPECT_TRUE(Dispatch(Report(length, {})).empty());
        EXPECT_EQ(receiver.statusFlags.load(), FLAG_OPEN);
    }
}

TEST_F(DecoderTest, ReceivingIsReportedOnceBeforeTheFirstRecord) {
    receiver.statusFlags = FLAG_OPEN; // opened, or just reported idle
    const auto report = Report(13, {0xFF, 0xFF, 0xFF, 0x01, 0x05, 0x00, //
                                    0x44, 0x44, 0x12, 0x12, 0x06, 0x00, 0xAB});
    EXPECT_EQ(Dispatch(report), (std::vector{StateCall(STATE_RECEIVING), TabletCall(1, 256, 5, 4),
                                             TabletCall(999, 1110, 6, 1)}));
    EXPECT_EQ(receiver.statusFlags.load(), FLAG_OPEN | FLAG_TRAFFIC);
    // Records keep flowing: no further state report.
    EXPECT_EQ(Dispatch(report).size(), 2u);
}

TEST_F(DecoderTest, ReceivingIsReportedAlsoWhenTheOpenFlagIsMissing) {
    receiver.statusFlags = 0;
    const auto calls = Dispatch(Report(6, {0xFF, 0xFF, 0xFF, 0x04, 0x01, 0x00}));
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], StateCall(STATE_RECEIVING));
    EXPECT_EQ(receiver.statusFlags.load(), FLAG_OPEN | FLAG_TRAFFIC);
}

TEST_F(DecoderTest, TheInstanceHoldsTheLastDispatchedRecord) {
    DispatchReport(receiver, Report(12, {0xFF, 0xFF, 0xFF, 0x02, 0x09, 0x00, //
                                         0x00, 0x00, 0x00, 0x00, 0x34, 0x12}));
    EXPECT_EQ(receiver.currentTabletId.load(), 0x1234u);
    EXPECT_EQ(receiver.x.load(), -1);
    EXPECT_EQ(receiver.y.load(), -1);
    EXPECT_EQ(receiver.eventType.load(), EVENT_PEN_DOWN);
}

TEST_F(DecoderTest, WithoutCallbacksNothingIsCalled) {
    receiver.onTablet = nullptr;
    receiver.onState = nullptr;
    receiver.statusFlags = 0;
    DispatchReport(receiver, Report(6, {0xFF, 0xFF, 0xFF, 0x04, 0x01, 0x00}));
    EXPECT_TRUE(CallbackRecorder::Take().empty());
    EXPECT_EQ(receiver.statusFlags.load(), FLAG_OPEN | FLAG_TRAFFIC);
}

CReceiver *g_clearing = nullptr;

void PENLYNX_CALL ClearOnFirstRecord(uint16_t first, uint16_t second, uint16_t id, int32_t type) {
    CallbackRecorder::OnTablet(first, second, id, type);
    // What SDKClear does when a callback calls it.
    g_clearing->released = true;
}

TEST_F(DecoderTest, ACallbackThatReleasedTheLibraryHearsNoFurtherRecord) {
    g_clearing = &receiver;
    receiver.onTablet = &ClearOnFirstRecord;
    const auto calls = Dispatch(Report(18, {0xFF, 0xFF, 0xFF, 0x01, 0x01, 0x00, 0xFF, 0xFF, 0xFF,
                                            0x02, 0x01, 0x00, 0xFF, 0xFF, 0xFF, 0x03, 0x01, 0x00}));
    EXPECT_EQ(calls, std::vector<test::Call>{TabletCall(1, 256, 1, 4)});
}

} // namespace
} // namespace penlynx
