#include "Decoder.h"
#include "DiagnosticsCollector.h"
#include "Geometry.h"
#include "SimClassroom.h"
#include "penlynx.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>

namespace penlynx {
namespace {

struct Record {
    int64_t frame;
    uint16_t id;
    bool key;
    uint8_t code;
    int type; // for positions: EVENT_PEN_DOWN or EVENT_PEN_UP (EVENT_MARKER never)
    TabletPoint point;
};

// Runs the class for `ms` milliseconds of frames and decodes every record the
// way the library does.
std::vector<Record> RunClass(const SimOptions &options, int ms,
                             std::vector<size_t> *lengths = nullptr) {
    SimClassroom classroom(options);
    std::array<uint8_t, 128> report{};
    std::vector<Record> records;
    for (int64_t frame = 0; frame < ms; ++frame) {
        const size_t length = classroom.NextFrame(report);
        if (length == 0) {
            continue;
        }
        if (lengths != nullptr) {
            lengths->push_back(length);
        }
        const int count = report[1] / static_cast<int>(kRecordSize);
        EXPECT_EQ(length, kRecordsOffset + count * kRecordSize);
        for (int k = 0; k < count; ++k) {
            const uint8_t *r = report.data() + kRecordsOffset + k * kRecordSize;
            Record record{frame, static_cast<uint16_t>(r[4] | r[5] << 8), false, 0, 0, {}};
            if (r[0] == 0xFF && r[1] == 0xFF && r[2] == 0xFF) {
                record.key = true;
                record.code = r[3];
            } else {
                uint16_t a = static_cast<uint16_t>(r[0] | r[3] << 8);
                uint16_t b = static_cast<uint16_t>(r[1] | r[2] << 8);
                record.type = EVENT_PEN_DOWN;
                if (b == kMarkerCount) {
                    record.type = EVENT_MARKER;
                } else if (b >= kPenUpLow && a >= kPenUpLow && b < kPenUpHighB) {
                    record.type = EVENT_PEN_UP;
                    a = static_cast<uint16_t>(a - kPenUpOffset);
                    b = static_cast<uint16_t>(b - kPenUpOffset);
                }
                record.point = SolveCounts(a, b);
            }
            records.push_back(record);
        }
    }
    EXPECT_EQ(classroom.Dropped(), 0u);
    return records;
}

bool SameRecords(const std::vector<Record> &a, const std::vector<Record> &b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].frame != b[i].frame || a[i].id != b[i].id || a[i].code != b[i].code ||
            a[i].type != b[i].type || a[i].point.x != b[i].point.x ||
            a[i].point.y != b[i].point.y) {
            return false;
        }
    }
    return true;
}

TEST(SimClassroom, TheSameSeedGivesTheSameClass) {
    const SimOptions options{30, 10, 0, 42};
    const auto first = RunClass(options, 20000);
    ASSERT_GT(first.size(), 10000u);
    EXPECT_TRUE(SameRecords(first, RunClass(options, 20000)));
    SimOptions other = options;
    other.seed = 43;
    EXPECT_FALSE(SameRecords(first, RunClass(other, 20000)));
}

TEST(SimClassroom, PenPointsDecodeInsideTheWritingArea) {
    const auto records = RunClass({40, 40, 0, 7}, 65000);
    size_t points = 0;
    for (const Record &record : records) {
        if (record.key) {
            continue;
        }
        ++points;
        ASSERT_NE(record.type, EVENT_MARKER);
        // Within the encoder's three tenths of where the pen was.
        ASSERT_GE(record.point.x, kWritingLeft - 3) << record.id;
        ASSERT_LE(record.point.x, kTabletWidth) << record.id;
        ASSERT_GE(record.point.y, kWritingTop - 3) << record.id;
        ASSERT_LE(record.point.y, kWritingBottom + 3) << record.id;
    }
    EXPECT_GT(points, 100000u);
}

// The program shows tablet point (x, y) at sheet pixel x / (2800 / width),
// y / (2000 / height), rounded, less 50: on the smallest sheet every stroke
// keeps clear of the edges by more than the brush, and lines go down it.
TEST(SimClassroom, HandwritingLiesWellInsideTheSmallestInkSheet) {
    const auto pixel = [](int v, int32_t tablet, int32_t sheet) {
        return static_cast<int>(std::nearbyint(v / (double(tablet) / sheet))) - 50;
    };
    int top = kSmallestSheetHeight, bottom = 0;
    for (const Record &record : RunClass({40, 40, 0, 8}, 65000)) {
        const int x = pixel(record.point.x, kTabletWidth, kSmallestSheetWidth);
        const int y = pixel(record.point.y, kTabletHeight, kSmallestSheetHeight);
        if (!record.key) {
            ASSERT_TRUE(x >= 15 && x <= kSmallestSheetWidth - 15) << x;
            ASSERT_TRUE(y >= 15 && y <= kSmallestSheetHeight - 15) << y;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    EXPECT_GT(bottom - top, kSmallestSheetHeight / 2);
}

TEST(SimClassroom, ReportsHoldAtMostTwentyOneWholeRecords) {
    std::vector<size_t> lengths;
    RunClass({100, 100, 200, 3}, 10000, &lengths);
    ASSERT_FALSE(lengths.empty());
    const size_t fullLength = kRecordsOffset + kMaxRecordsPerReport * kRecordSize;
    size_t full = 0, total = 0;
    for (size_t length : lengths) {
        EXPECT_LE(length, fullLength);
        full += length == fullLength ? 1 : 0;
        total += length;
    }
    // A whole class writing at full rate sends about 20 records a
    // millisecond: reports are well filled and now and then full.
    EXPECT_GT(full, 0u);
    EXPECT_GT((total - kRecordsOffset * lengths.size()) / kRecordSize, lengths.size() * 10);
}

TEST(SimClassroom, EveryTabletWritesAtItsPenRateWithPenUpBetweenStrokes) {
    for (int rate : {100, 200}) {
        const auto records = RunClass({10, 10, rate, 9}, 30000);
        std::map<uint16_t, std::vector<int64_t>> downs;
        std::map<uint16_t, int> ups;
        for (const Record &record : records) {
            if (!record.key && record.type == EVENT_PEN_DOWN) {
                downs[record.id].push_back(record.frame);
            } else if (!record.key && record.type == EVENT_PEN_UP) {
                ++ups[record.id];
            }
        }
        ASSERT_EQ(downs.size(), 10u) << rate;
        for (const auto &[id, frames] : downs) {
            // The busiest second has about `rate` points, never more.
            size_t busiest = 0;
            for (size_t i = 0, j = 0; j < frames.size(); ++j) {
                while (frames[j] - frames[i] >= 1000) {
                    ++i;
                }
                busiest = std::max(busiest, j - i + 1);
            }
            EXPECT_LE(busiest, static_cast<size_t>(rate) + 1) << id;
            EXPECT_GE(busiest, static_cast<size_t>(rate) * 8 / 10) << id;
            EXPECT_GT(ups[id], 10) << id;
        }
    }
}

TEST(SimClassroom, MostAnswerWithinSecondsSomeChangeTheirMindAFewNever) {
    const auto records = RunClass({100, 0, 0, 11}, 30000);
    std::map<uint16_t, std::vector<const Record *>> keys;
    for (const Record &record : records) {
        ASSERT_TRUE(record.key) << "nobody writes with writing=0";
        if (record.code == kSignalCode) {
            continue; // the tablet saying it is switched on
        }
        ASSERT_GE(record.id, 1);
        ASSERT_LE(record.id, 100);
        ASSERT_TRUE(record.code == 7 || (record.code >= 1 && record.code <= 4)) << record.code;
        keys[record.id].push_back(&record);
    }
    size_t quick = 0, several = 0;
    for (const auto &[id, presses] : keys) {
        quick += presses.front()->frame < 6000 ? 1 : 0;
        several += presses.size() > 1 ? 1 : 0;
    }
    EXPECT_GE(quick, 70u);
    EXPECT_GE(several, 10u);
    EXPECT_LT(keys.size(), 100u);
    EXPECT_GT(keys.size(), 80u);
}

TEST(SimClassroom, AWholeClassWritingAtFullRateLosesNothing) {
    // RunClass() checks that nothing was dropped.
    const auto records = RunClass({100, 100, 200, 1}, 10000);
    size_t points = 0;
    std::set<uint16_t> writers;
    for (const Record &record : records) {
        if (!record.key && record.type == EVENT_PEN_DOWN) {
            ++points;
            writers.insert(record.id);
        }
    }
    EXPECT_EQ(writers.size(), 100u);
    // Writing starts within 3 s and pauses between strokes: well over half
    // of 100 x 200 points per second for the rest.
    EXPECT_GT(points, 100u * 200u * 7u / 2u);
}

// Thirty tablets, four switched off; writing=30 asks for more than remain.
TEST(SimClassroom, TabletsSwitchedOnSignalAndWriteTheAbsentOnesAreNeverHeard) {
    const auto records = RunClass({30, 30, 0, 5, 4}, 40000);
    std::map<uint16_t, std::vector<int64_t>> signals;
    std::set<uint16_t> heard, writers;
    for (const Record &record : records) {
        heard.insert(record.id);
        if (record.key && record.code == kSignalCode) {
            signals[record.id].push_back(record.frame);
        } else if (!record.key && record.frame < 30000) {
            writers.insert(record.id); // in the first round
        }
    }
    std::set<uint16_t> present;
    for (uint16_t id = 1; id <= 26; ++id) {
        present.insert(id);
    }
    EXPECT_EQ(heard, present); // no signal, key or handwriting of 27..30
    EXPECT_EQ(writers, present);
    for (uint16_t id = 1; id <= 26; ++id) {
        const std::vector<int64_t> &frames = signals[id];
        ASSERT_GE(frames.size(), 40000u / 500u) << id;
        EXPECT_LT(frames.front(), 500) << id;
        // Every few tenths of a second; a record can wait a frame or two
        // behind a full report.
        for (size_t i = 1; i < frames.size(); ++i) {
            EXPECT_GE(frames[i] - frames[i - 1], 298) << id;
            EXPECT_LE(frames[i] - frames[i - 1], 502) << id;
        }
    }
}

TEST(SimOptions, ParsesWhatItKnowsAndSaysWhatItIgnores) {
    test::DiagnosticsCollector said;
    struct Case {
        const char *text;
        int tablets, writing, rate;
        uint64_t seed;
        size_t complaints;
        int absent = 0;
    } const cases[] = {
        {"", 30, 10, 0, 1, 0},
        {"tablets=100,writing=100,rate=200,seed=9", 100, 100, 200, 9, 0},
        {"seed=5,tablets=4", 4, 4, 0, 5, 0},
        {"tablets=101", 30, 10, 0, 1, 1},
        {"tablets=0,rate=0,rate=5000", 30, 10, 0, 1, 3},
        {"colour=blue,tablets=x,,writing", 30, 10, 0, 1, 3},
        {"absent=4", 30, 10, 0, 1, 0, 4},
        {"tablets=12,absent=5,writing=12", 12, 7, 0, 1, 0, 5},
        {"tablets=3,absent=9", 3, 0, 0, 1, 0, 3},
        {"absent=101,absent=-1", 30, 10, 0, 1, 2},
    };
    for (const Case &c : cases) {
        said.lines.clear();
        const SimOptions options = ParseSimOptions(c.text);
        EXPECT_EQ(options.tablets, c.tablets) << c.text;
        EXPECT_EQ(options.writing, c.writing) << c.text;
        EXPECT_EQ(options.rate, c.rate) << c.text;
        EXPECT_EQ(options.seed, c.seed) << c.text;
        EXPECT_EQ(options.absent, c.absent) << c.text;
        EXPECT_EQ(said.lines.size(), c.complaints) << c.text;
    }
}

} // namespace
} // namespace penlynx
