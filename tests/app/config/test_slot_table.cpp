// The SlotTable in memory, fixed text fields, the tablet lookup.
#include "config/SlotTable.h"

#include "config/ImportParser.h"

#include "core/Helpers.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace lumora {
namespace {

using test::U;

TEST(SlotText, KeepsShortTextsWhole) {
    SlotText text(U("张三"));
    EXPECT_EQ(text.ToString(), U("张三"));
    EXPECT_EQ(text.Size(), 6);
    EXPECT_FALSE(text.IsEmpty());
    text.Clear();
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_EQ(text.ToString(), QString());
}

TEST(SlotText, CutsAt64BytesOnACharacterBoundary) {
    const std::string a62(62, 'a');
    const std::string a64(64, 'a');
    const std::string a63(63, 'a');
    const std::string cjk21 = "一二三四五六七八九十一二三四五六七八九十一";
    // 16 characters outside the basic plane, 4 bytes each.
    std::string ext16;
    for (int i = 0; i < 16; ++i) {
        ext16 += "\xF0\xA0\x80\x80";
    }
    const std::string cases[][2] = {
        // UTF-8: the input, what is kept
        // 64 ASCII bytes fit, 65 do not.
        {a64, a64},
        {a64 + "b", a64},
        // 22 Chinese characters are 66 bytes: 21 are kept (63 bytes).
        {cjk21 + "百", cjk21},
        {ext16, ext16},
        {ext16 + "a", ext16},
        // a character of 4 bytes that would end at byte 66 is dropped whole.
        {a62 + "\xF0\x9F\x98\x80", a62},
        // e + combining acute accent is one character: never split.
        {a63 + "e\xCC\x81", a63},
        {"", ""},
    };
    for (const auto &[input, kept] : cases) {
        SlotText text;
        const bool cut = text.Assign(U(input.c_str()));
        EXPECT_EQ(text.ToString(), U(kept.c_str())) << input;
        EXPECT_LE(text.Size(), kSlotTextBytes);
        EXPECT_EQ(cut, input != kept) << input;
        EXPECT_EQ(CutToSlotText(U(input.c_str())), U(kept.c_str()));
    }
}

TEST(SlotText, StopsAtTheFirstZero) {
    SlotText text(QStringView(u"ab\0cd", 5));
    EXPECT_EQ(text.ToString(), QStringLiteral("ab"));
    EXPECT_EQ(text, SlotText(u"ab"));
}

TEST(SlotTable, HasExactly100EntriesAndClearsToZero) {
    SlotTable table;
    EXPECT_EQ(table.Slots.size(), 100u);
    table.SetCount(48);
    table[5].Name = U("李四");
    table[5].CardID = 12;
    table[5].Answer = 6;
    table[5].Seen = 1;
    table[5].EntryNumber = 6;
    table[5].CardSplitName = QStringLiteral("x");
    table[5].CardSplitID = 3;
    table.Clear();
    EXPECT_EQ(table.Count.load(), 0);
    for (const StudentSlot &slot : table.Slots) {
        EXPECT_TRUE(slot.Name.IsEmpty());
        EXPECT_TRUE(slot.CardSplitName.IsEmpty());
        EXPECT_EQ(slot.CardID.load(), 0);
        EXPECT_EQ(slot.CardSplitID.load(), 0);
        EXPECT_EQ(slot.Answer.load(), 0u);
        EXPECT_EQ(slot.Seen.load(), 0);
        EXPECT_EQ(slot.EntryNumber, 0);
        EXPECT_EQ(slot.InkCanvas, nullptr);
    }
}

TEST(SlotTable, CountStaysWithinTheTable) {
    SlotTable table;
    table.SetCount(150);
    EXPECT_EQ(table.Count.load(), 100);
    table.SetCount(-5);
    EXPECT_EQ(table.Count.load(), 0);
}

TEST(StudentSlot, PaneLayerFallsBackToTheSeatLayer) {
    StudentSlot slot;
    slot.Name = QStringLiteral("Ann");
    slot.CardID = 7;
    slot.CardSplitID = 9;
    EXPECT_EQ(slot.PaneName(), QStringLiteral("Ann"));
    EXPECT_EQ(slot.PaneID(), 7);
    slot.CardSplitName = QStringLiteral("Bob");
    EXPECT_EQ(slot.PaneName(), QStringLiteral("Bob"));
    EXPECT_EQ(slot.PaneID(), 9);
}

TEST(FindSlot, RoutesPenEventsByThePaneLayer) {
    SlotTable table;
    table.SetCount(3);
    table[0].CardID = 10;
    table[0].CardSplitID = 20;
    table[1].CardID = 20;
    table[1].CardSplitID = 10;
    table[2].CardID = 20;
    table[3].CardID = 30;                 // outside the roster
    EXPECT_EQ(FindSlot(table, 10, 4), 0); // key: CardID
    EXPECT_EQ(FindSlot(table, 20, 4), 1); // the first match
    EXPECT_EQ(FindSlot(table, 20, 3), 1);
    EXPECT_EQ(FindSlot(table, 20, 0), 1);
    EXPECT_EQ(FindSlot(table, 10, 1), 1); // pen down: CardSplitID
    EXPECT_EQ(FindSlot(table, 20, 2), 0); // pen up: CardSplitID
    EXPECT_EQ(FindSlot(table, 30, 4), -1);
    table.SetCount(0);
    EXPECT_EQ(FindSlot(table, 10, 4), -1);
}

TEST(SlotTable, TheReaderThreadAndAnImportShareNoUnguardedWord) {
    // What the receiver's handlers do on their thread while the
    // user-interface thread replaces the roster: ThreadSanitizer checks that
    // only atomic words are shared.
    SlotTable table;
    ApplyImport(table, ParseImportFile("A#1\nB#2\nC#3\n"), 8, 6);
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        for (int round = 0; !stop.load() && round < 200000; ++round) {
            const int slot = FindSlot(table, static_cast<uint16_t>(1 + round % 3), 4);
            if (slot >= 0) {
                table[slot].Seen = 1;
                table[slot].Answer = SetBit(0, 2, 1);
            }
            (void)FindSlot(table, 2, kEventPenDown);
        }
    });
    for (int i = 0; i < 200; ++i) {
        ApplyImport(table, ParseImportFile(i % 2 ? "A#1\nB#2\n" : "C#3\nA#1\n"), 6, 6);
        table[0].Name = QStringLiteral("only this thread");
    }
    stop = true;
    reader.join();
    EXPECT_EQ(table.Count.load(), 36);
}

} // namespace
} // namespace lumora
