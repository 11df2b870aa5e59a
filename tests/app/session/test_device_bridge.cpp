#include "core/Helpers.h"
#include "session/DeviceBridge.h"

#include <QCoreApplication>
#include <QObject>
#include <QStringList>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace lumora {
namespace {

struct Posted {
    int type;
    uint32_t wParam;
    uint32_t lParam;
    bool operator==(const Posted &) const = default;
};

void PrintTo(const Posted &p, std::ostream *os) {
    *os << "{" << p.type << ", " << p.wParam << ", " << p.lParam << "}";
}

class EventLog : public QObject {
public:
    bool event(QEvent *e) override {
        if (auto *device = dynamic_cast<DeviceEvent *>(e)) {
            events.push_back({static_cast<int>(e->type()), device->wParam, device->lParam});
            return true;
        }
        return QObject::event(e);
    }
    std::vector<Posted> Take() {
        QCoreApplication::sendPostedEvents(this);
        return std::exchange(events, {});
    }
    std::vector<Posted> events;
};

class DeviceBridgeTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.Clear();
        // Entry 0: seat tablet 10, pane tablet 20. Entry 1: seat 11, pane 11.
        // Entry 2: no tablet (ID 0). Entry 3: seat 30 only, pane 31.
        Seat(0, u"Ana", 10, 20);
        Seat(1, u"Ben", 11, 11);
        Seat(2, u"Cai", 0, 0);
        Seat(3, u"Dee", 30, 31);
        table.SetCount(4);
        bridge.SetInkSize(400, 300);
        session.CurrentAnswerState = kAnswerNotStarted;
    }
    void Seat(int i, const char16_t *name, uint16_t id, uint16_t paneId) {
        table[i].Name = QStringView(name);
        table[i].CardID = id;
        table[i].CardSplitName = QStringView(name);
        table[i].CardSplitID = paneId;
    }
    void Key(uint16_t tablet, uint16_t key) { bridge.OnTabletEvent(key, 256, tablet, EVENT_KEY); }

    SlotTable table;
    SessionState session;
    EventLog log;
    DeviceBridge bridge{table, session, &log};
};

TEST(PenToCanvas, RoundsHalvesToEvenAndShiftsByTheOffset) {
    const double sx = 2800.0 / 400, sy = 2000.0 / 300;
    EXPECT_EQ(PenToCanvas(1400, 1000, sx, sy), (CanvasPoint{150, 100}));
    EXPECT_EQ(PenToCanvas(0, 0, sx, sy), (CanvasPoint{-50, -50}));
    EXPECT_EQ(PackCanvasPoint({-50, -50}), 65486u + 65536u * 65486u);
    // Scale 2: 5 / 2 = 2.5 rounds to 2, 7 / 2 = 3.5 rounds to 4.
    EXPECT_EQ(PenToCanvas(5, 7, 2, 2), (CanvasPoint{2 - 50, 4 - 50}));
    EXPECT_EQ(PenToCanvas(65535, 65535, 1, 1), (CanvasPoint{65485, 65485}));
}

TEST_F(DeviceBridgeTest, ChoiceKeysReplaceOrCollect) {
    struct Case {
        int questionType;
        std::vector<uint16_t> keys;
        uint32_t answer;
        const char *letters;
    } const cases[] = {
        {kQuestionSingle, {2, 1}, 2, "A"},
        {kQuestionMultiple, {2, 1}, 6, "AB"},
        {kQuestionMultiple, {2, 2}, 4, "B"},
        {kQuestionSingle, {2, 3}, 8, "C"},
        {kQuestionMultiple, {1, 3, 9}, 0, ""},
        {kQuestionMultiple, {33}, 2, "A"}, // codes wrap at 32
        {kQuestionSingle, {32}, 1, ""},    // bit 0 has no letter
    };
    for (const auto &c : cases) {
        table[0].Answer = 0;
        session.CurrentQuestionType = c.questionType;
        for (uint16_t key : c.keys) {
            Key(10, key);
        }
        EXPECT_EQ(table[0].Answer.load(), c.answer);
        EXPECT_EQ(AnswerToLetters(table[0].Answer), QString::fromLatin1(c.letters));
        const auto events = log.Take();
        ASSERT_EQ(events.size(), c.keys.size());
        EXPECT_EQ(events.back(), (Posted{WM_TABLET_KEY, 0, c.answer}));
    }
}

TEST_F(DeviceBridgeTest, EventsCountOnlyInTheirState) {
    // Each row: answer state, question type, then whether a pen point, a pen
    // up, a key and the clear key post anything.
    struct Case {
        int answerState, questionType;
        bool pen, penUp, key, clear;
    } const cases[] = {
        {kAnswerEnded, kQuestionSingle, false, false, false, false},
        {kAnswerEnded, kQuestionSubjective, false, false, false, false},
        {kAnswerNotStarted, kQuestionNone, false, false, false, false},
        {kAnswerUnderWay, kQuestionNone, false, false, false, false},
        {kAnswerNotStarted, kQuestionSingle, false, false, true, true},
        {kAnswerUnderWay, kQuestionMultiple, false, false, true, true},
        {kAnswerNotStarted, kQuestionSubjective, true, true, false, true},
        {kAnswerUnderWay, kQuestionSubjective, true, true, false, true},
    };
    for (const auto &c : cases) {
        session.CurrentAnswerState = c.answerState;
        session.CurrentQuestionType = c.questionType;
        table[1].Answer = 0;
        bridge.OnTabletEvent(1400, 1000, 11, EVENT_PEN_DOWN);
        EXPECT_EQ(log.Take().size(), c.pen ? 1u : 0u) << c.answerState << "/" << c.questionType;
        bridge.OnTabletEvent(1400, 1000, 11, EVENT_PEN_UP);
        EXPECT_EQ(log.Take().size(), c.penUp ? 1u : 0u) << c.answerState << "/" << c.questionType;
        Key(11, 2);
        EXPECT_EQ(log.Take().size(), c.key ? 1u : 0u) << c.answerState << "/" << c.questionType;
        EXPECT_EQ(table[1].Answer.load(), c.key ? 4u : 0u);
        Key(11, kClearKey);
        EXPECT_EQ(log.Take().size(), c.clear ? 1u : 0u) << c.answerState << "/" << c.questionType;
        // Every routed event marks the entry as heard from.
        EXPECT_EQ(table[1].Seen.exchange(0), 1);
    }
}

TEST_F(DeviceBridgeTest, PenEventsRouteByThePaneLayerAndKeysByTheSeatLayer) {
    session.CurrentQuestionType = kQuestionSubjective;
    bridge.OnTabletEvent(1400, 1000, 20, EVENT_PEN_DOWN); // pane tablet of entry 0
    bridge.OnTabletEvent(1400, 1000, 10, EVENT_PEN_DOWN); // seat tablet only: no pane
    bridge.OnTabletEvent(0, 0, 20, EVENT_PEN_UP);
    EXPECT_EQ(log.Take(), (std::vector<Posted>{{WM_TABLET_PEN, 0, 150u | 100u << 16},
                                               {WM_TABLET_PEN_UP, 0, 0}}));
    EXPECT_EQ(table[0].Seen.load(), 1);

    // A pen event of the tablet in entry 3's pane layer marks entry 3 as seen,
    // whatever its seat layer holds.
    table[3].Seen = 0;
    bridge.OnTabletEvent(100, 100, 31, EVENT_PEN_DOWN);
    EXPECT_EQ(table[3].Seen.load(), 1);
    log.Take();
}

TEST_F(DeviceBridgeTest, UnsolvedPenPointsAreNotDrawnButMarkTheTabletSeen) {
    session.CurrentQuestionType = kQuestionSubjective;
    bridge.OnTabletEvent(65535, 65535, 11, EVENT_PEN_DOWN);
    EXPECT_TRUE(log.Take().empty());
    EXPECT_EQ(table[1].Seen.load(), 1);
    // A point with one real coordinate is a point.
    bridge.OnTabletEvent(65535, 1000, 11, EVENT_PEN_DOWN);
    EXPECT_EQ(log.Take().size(), 1u);
}

TEST_F(DeviceBridgeTest, ClearKeyOnASubjectiveQuestionWipesThePaneOfTheSameTablet) {
    session.CurrentQuestionType = kQuestionSubjective;
    table[1].Answer = 6;
    Key(11, kClearKey);
    EXPECT_EQ(log.Take(), (std::vector<Posted>{{WM_TABLET_WIPE, 1, 0}}));
    EXPECT_EQ(table[1].Answer.load(), 6u); // answers untouched
    // Tablet 10 is only in the seat layer (its pane holds tablet 20): no wipe.
    Key(10, kClearKey);
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(DeviceBridgeTest, UnknownTabletsAreDroppedAndIdZeroRoutesToTheFirstFreeSeat) {
    session.CurrentQuestionType = kQuestionSingle;
    Key(999, 1);
    EXPECT_TRUE(log.Take().empty());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(table[i].Seen.load(), 0);
    }
    Key(0, 1);
    EXPECT_EQ(log.Take(), (std::vector<Posted>{{WM_TABLET_KEY, 2, 2}}));
    // Entries past the count are not searched.
    table.SetCount(2);
    Key(0, 1);
    EXPECT_TRUE(log.Take().empty());
}

TEST_F(DeviceBridgeTest, ListeningPostsEveryKeyOfEveryTabletBesideItsAnswer) {
    session.CurrentQuestionType = kQuestionSingle;
    bridge.SetListening(true);
    Key(999, 3); // nobody holds it: heard, no answer
    Key(10, 1);  // a seat's tablet: heard, and it answers as always
    bridge.OnTabletEvent(100, 100, 31, EVENT_PEN_DOWN);
    EXPECT_EQ(log.Take(),
              (std::vector<Posted>{
                  {WM_TABLET_HEARD, 999, 3}, {WM_TABLET_HEARD, 10, 1}, {WM_TABLET_KEY, 0, 2}}));
    // Heard even after the question ended, when keys count for nothing.
    session.CurrentAnswerState = kAnswerEnded;
    Key(11, 2);
    EXPECT_EQ(log.Take(), (std::vector<Posted>{{WM_TABLET_HEARD, 11, 2}}));
    bridge.SetListening(false);
    Key(999, 3);
    EXPECT_TRUE(log.Take().empty());
}

// What the lesson record hears, one line per call.
class RecordLog : public TabletEventRecord {
public:
    void KeyPressed(int slot, uint16_t key, uint32_t answer) override {
        lines << QStringLiteral("key %1 %2 %3").arg(slot).arg(key).arg(answer);
    }
    void PenPoint(int slot, int32_t x, int32_t y) override {
        lines << QStringLiteral("pen %1 %2 %3").arg(slot).arg(x).arg(y);
    }
    void PenUp(int slot) override { lines << QStringLiteral("up %1").arg(slot); }
    void UnknownTablet(uint16_t id) override { lines << QStringLiteral("unknown %1").arg(id); }
    QStringList lines;
};

TEST_F(DeviceBridgeTest, TheRecordHearsWhatChangedAnAnswerOrAPaneAndTabletsNobodyHolds) {
    RecordLog record;
    bridge.SetRecord(&record);
    session.CurrentQuestionType = kQuestionMultiple;
    Key(10, 1);
    Key(10, 3);
    Key(10, 9); // the clear key is a press too
    Key(10, 2);
    Key(20, 1); // the pane tablet of entry 0: held, but no seat's key
    Key(99, 1);
    session.CurrentQuestionType = kQuestionSubjective;
    bridge.OnTabletEvent(1400, 1000, 20, EVENT_PEN_DOWN);
    bridge.OnTabletEvent(0xFFFF, 0xFFFF, 20, EVENT_PEN_DOWN); // unsolved: never drawn
    bridge.OnTabletEvent(0, 0, 20, EVENT_PEN_UP);
    Key(10, 9);                                         // wipes the pane; the answer stays
    Key(10, 3);                                         // no answer on a subjective question
    bridge.OnTabletEvent(700, 700, 10, EVENT_PEN_DOWN); // a seat tablet writing
    bridge.OnTabletEvent(700, 700, 77, EVENT_PEN_DOWN);
    session.CurrentAnswerState = kAnswerEnded;
    Key(11, 1);
    bridge.OnTabletEvent(1400, 1000, 20, EVENT_PEN_DOWN);
    Key(98, 1); // strangers are noted in any state
    EXPECT_EQ(record.lines,
              (QStringList{"key 0 1 2", "key 0 3 10", "key 0 9 0", "key 0 2 4", "unknown 99",
                           "pen 0 150 100", "up 0", "key 0 9 4", "unknown 77", "unknown 98"}));
    bridge.SetRecord(nullptr);
    log.Take();
}

TEST_F(DeviceBridgeTest, DeviceStatesArePostedAsTheirLow16Bits) {
    for (int32_t state : {0, 1, 3, 2, 0x10001}) {
        bridge.OnDeviceState(state);
    }
    const auto events = log.Take();
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0], (Posted{WM_DEVICE_STATE, 0, 0}));
    EXPECT_EQ(events[3], (Posted{WM_DEVICE_STATE, 2, 0}));
    EXPECT_EQ(events[4], (Posted{WM_DEVICE_STATE, 1, 0}));
}

TEST_F(DeviceBridgeTest, RegisteredHandlersForwardToTheInstalledBridge) {
    session.CurrentQuestionType = kQuestionSingle;
    TabletEventHandler(1, 256, 10, EVENT_KEY);
    EXPECT_TRUE(log.Take().empty()); // nothing installed
    DeviceBridge::Install(&bridge);
    TabletEventHandler(1, 256, 10, EVENT_KEY);
    DeviceStateHandler(1, 2721, 2860);
    DeviceBridge::Install(nullptr);
    EXPECT_EQ(log.Take(), (std::vector<Posted>{{WM_TABLET_KEY, 0, 2}, {WM_DEVICE_STATE, 1, 0}}));
}

TEST_F(DeviceBridgeTest, SuspendKeepsAReaderThreadOffTheTable) {
    session.CurrentQuestionType = kQuestionMultiple;
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    std::thread reader([&] {
        while (!stop.load()) {
            bridge.OnTabletEvent(1, 256, 10, EVENT_KEY);
            calls.fetch_add(1);
        }
    });
    while (calls.load() < 100) {
        std::this_thread::yield();
    }
    bridge.Suspend();
    // While suspended the table can be replaced without any handler reading it.
    table.Clear();
    Seat(0, u"New", 10, 10);
    table.SetCount(1);
    const int before = calls.load();
    while (calls.load() < before + 100) {
        std::this_thread::yield();
    }
    EXPECT_EQ(table[0].Answer.load(), 0u);
    EXPECT_EQ(table[0].Seen.load(), 0);
    bridge.Resume();
    while (table[0].Answer.load() == 0) {
        std::this_thread::yield();
    }
    stop = true;
    reader.join();
    EXPECT_EQ(table[0].Answer.load(), 2u);
    log.Take();
}

} // namespace
} // namespace lumora
