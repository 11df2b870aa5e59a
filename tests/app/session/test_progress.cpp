// The answer progress of the bottom bar: who counts, who has answered, who
// has written.
#include "session/AnswerProgress.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumora {
namespace {

struct Entry {
    const char16_t *name;
    uint32_t answer;
    const char16_t *paneName = u"";
};

void Fill(SlotTable &table, const std::vector<Entry> &entries) {
    table.Clear();
    int i = 0;
    for (const Entry &e : entries) {
        table[i].Name = QString::fromUtf16(e.name);
        table[i].CardID = static_cast<uint16_t>(i + 1);
        table[i].Answer = e.answer;
        table[i].CardSplitName = QString::fromUtf16(e.paneName);
        ++i;
    }
    table.SetCount(i);
}

TEST(AnswerProgress, CountsNamedStudentsAndThoseWithALetter) {
    SlotTable table;
    struct Case {
        std::vector<Entry> entries;
        Progress expected;
    };
    const Case cases[] = {
        {{}, {0, 0}},
        {{{u"Ann", 0}, {u"Ben", 0}}, {0, 2}},
        // B (bit 2), AC (bits 1 and 3): answered; bit 0 alone carries no letter.
        {{{u"Ann", 1u << 2}, {u"Ben", 0b1010}, {u"Cai", 1u}}, {2, 3}},
        // Seats without a name neither count nor answer, whatever they hold.
        {{{u"", 1u << 2}, {u"Dan", 1u << 4}, {u"", 0}}, {1, 1}},
    };
    for (const Case &c : cases) {
        Fill(table, c.entries);
        EXPECT_EQ(CountAnswered(table), c.expected)
            << c.expected.done << " of " << c.expected.total;
    }
    // Answers beyond the roster count are not counted.
    Fill(table, {{u"Ann", 1u << 1}});
    table[1].Name = QStringLiteral("Ghost");
    table[1].Answer = 1u << 1;
    EXPECT_EQ(CountAnswered(table), (Progress{1, 1}));
}

TEST(AnswerProgress, WritingCountsPanesOnceUntilReset) {
    SlotTable table;
    // Pane 1 shows another student; pane 2 has nobody at all.
    Fill(table, {{u"Ann", 0}, {u"Ben", 0, u"Eve"}, {u"", 0}, {u"Dan", 0}});
    WritingProgress writing;
    EXPECT_EQ(writing.Count(table), (Progress{0, 3}));
    EXPECT_TRUE(writing.Wrote(1));
    EXPECT_FALSE(writing.Wrote(1)); // already counted
    EXPECT_TRUE(writing.Wrote(2));  // a nameless pane: written, but not counted
    EXPECT_FALSE(writing.Wrote(-1));
    EXPECT_FALSE(writing.Wrote(kSlotCount));
    EXPECT_TRUE(writing.HasWritten(1));
    EXPECT_FALSE(writing.HasWritten(0));
    EXPECT_FALSE(writing.HasWritten(500));
    EXPECT_EQ(writing.Count(table), (Progress{1, 3}));
    writing.Wrote(3);
    EXPECT_EQ(writing.Count(table), (Progress{2, 3}));
    writing.Reset();
    EXPECT_EQ(writing.Count(table), (Progress{0, 3}));
}

TEST(AnswerProgress, TextFillsTheLanguagesFormat) {
    EXPECT_EQ(ProgressText(u"已答 %1 / %2", {23, 30}), QStringLiteral("已答 23 / 30"));
    EXPECT_EQ(ProgressText(u"Written %1 of %2", {0, 100}), QStringLiteral("Written 0 of 100"));
}

} // namespace
} // namespace lumora
