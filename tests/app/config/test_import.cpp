// The import file as bytes, and the roster it gives.
#include "config/ImportParser.h"

#include "config/Roster.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

struct LineCase {
    const char *line; // UTF-8, one line
    bool valid;
    const char *name;
    uint16_t cardId;
};

TEST(ParseImportFile, ReadsEachLineOfTheFile) {
    const LineCase cases[] = {
        {"王五#000123", true, "王五", 123},
        {"#12", true, "", 12},
        {"Ann#12345678", true, "Ann", static_cast<uint16_t>(123456 & 0xFFFF)}, // six bytes
        {"Bob#70000", true, "Bob", 4464},
        {"123456789", true, "", static_cast<uint16_t>(123456 & 0xFFFF)}, // no "#": first 6
        {"12", true, "", 12},
        {"Cy# 42", true, "Cy", 42},
        {"Di#+7", true, "Di", 7},
        {"Ed#-2", true, "Ed", 65534},
        {"a#b#3", false, "a", 0},
        {"Fay#-1", false, "Fay", 0},
        {"Gus#", false, "Gus", 0},
        {"Hal#12a", false, "Hal", 0},
        {"Ivy#12 ", false, "Ivy", 0},
        {"Jo#0x1F", false, "Jo", 0},
        {"Kim", false, "", 0},
        {"Lu,4", false, "", 0},
    };
    for (const LineCase &c : cases) {
        const ImportParseResult result = ParseImportFile(U(c.line).toUtf8());
        ASSERT_EQ(result.Entries.size(), 1) << c.line;
        EXPECT_EQ(result.Failed, !c.valid) << c.line;
        EXPECT_EQ(result.Entries[0].Name, U(c.name)) << c.line;
        EXPECT_EQ(result.Entries[0].CardID, c.cardId) << c.line;
        if (!c.valid) {
            EXPECT_EQ(result.FailedLineIndex, 0);
            EXPECT_EQ(result.FailedLine, U(c.line));
        }
    }
}

TEST(ParseImportFile, BlankLinesAreNoStudents) {
    for (const char *file : {"\r\n", " \n\t\n", "Ann#1\r\n\r\n  \r\nBob#2\r\n\r\n"}) {
        const ImportParseResult result = ParseImportFile(file);
        EXPECT_FALSE(result.Failed) << file;
        EXPECT_EQ(result.Entries.size(), result.LineCount) << file;
        EXPECT_EQ(result.LineCount, QByteArray(file).count('#')) << file;
    }
}

TEST(ParseImportFile, AnEmptyFileHasNoLines) {
    const ImportParseResult result = ParseImportFile(QByteArray());
    EXPECT_TRUE(result.Entries.isEmpty());
    EXPECT_FALSE(result.Failed);
}

TEST(SplitLines, BreaksAtCrLfAndCrLf) {
    EXPECT_EQ(SplitLines(u"a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(u"a\n"), QStringList({"a"}));
    EXPECT_EQ(SplitLines(u"a\r\n"), QStringList({"a"}));
    EXPECT_EQ(SplitLines(u"a\n\n"), QStringList({"a", ""}));
    EXPECT_EQ(SplitLines(u"a\n\rb"), QStringList({"a", "", "b"}));
    EXPECT_EQ(SplitLines(u"\n"), QStringList({""}));
    EXPECT_EQ(SplitLines(u""), QStringList());
}

TEST(ParseImportFile, AnInvalidLineStopsReadingAndNamesItsLineInTheFile) {
    const ImportParseResult result = ParseImportFile("Ann#1\r\nBob#2\r\n\r\nCy,3\r\nDi#4\r\n");
    ASSERT_TRUE(result.Failed);
    EXPECT_EQ(result.FailedLineIndex, 3);
    EXPECT_EQ(result.FailedLine, QStringLiteral("Cy,3"));
    ASSERT_EQ(result.Entries.size(), 3);
    EXPECT_EQ(result.Entries[1], (ImportedStudent{QStringLiteral("Bob"), 2}));
    EXPECT_EQ(result.Entries[2], (ImportedStudent{QString(), 0}));
}

TEST(ParseImportFile, TheFailingEntryKeepsItsName) {
    const ImportParseResult result = ParseImportFile("Ann#1\nBob#x\nCy#3\n");
    ASSERT_TRUE(result.Failed);
    EXPECT_EQ(result.FailedLine, QStringLiteral("Bob#x"));
    ASSERT_EQ(result.Entries.size(), 2);
    EXPECT_EQ(result.Entries[1], (ImportedStudent{QStringLiteral("Bob"), 0}));
}

TEST(ParseImportFile, ReadsALegacyGb18030File) {
    // 张三#1 and 李四#2 in GB18030.
    const ImportParseResult result =
        ParseImportFile(QByteArray("\xD5\xC5\xC8\xFD#1\r\n\xC0\xEE\xCB\xC4#2\r\n"));
    ASSERT_FALSE(result.Failed);
    ASSERT_EQ(result.Entries.size(), 2);
    EXPECT_EQ(result.Entries[0].Name, U("张三"));
    EXPECT_EQ(result.Entries[1].Name, U("李四"));
    EXPECT_EQ(result.Entries[1].CardID, 2);
}

TEST(ParseImportFile, LongNamesAreCutAtACharacterBoundary) {
    const ImportParseResult result =
        ParseImportFile(U("一二三四五六七八九十百千万亿兆京一二三四五六#5").toUtf8());
    ASSERT_EQ(result.Entries.size(), 1);
    EXPECT_EQ(result.Entries[0].Name, U("一二三四五六七八九十百千万亿兆京一二三四五"));
    EXPECT_EQ(result.Entries[0].CardID, 5);
}

TEST(ParseImportFile, LinesBeyond100AreIgnored) {
    QByteArray file;
    for (int i = 1; i <= 105; ++i) {
        file += "S" + QByteArray::number(i) + "#" + QByteArray::number(i) + "\n";
    }
    const ImportParseResult result = ParseImportFile(file + "\n");
    EXPECT_FALSE(result.Failed);
    EXPECT_EQ(result.Entries.size(), 100);
    EXPECT_EQ(result.IgnoredLines, 5);
    EXPECT_EQ(result.Entries[99].CardID, 100);
    // They are checked all the same.
    const ImportParseResult bad = ParseImportFile(file + "bad line\n");
    EXPECT_TRUE(bad.Failed);
    EXPECT_EQ(bad.FailedLineIndex, 105);
}

TEST(ApplyImport, TheCountIsTheSeatCountWhateverTheLines) {
    QByteArray file;
    for (int i = 1; i <= 10; ++i) {
        file += "S" + QByteArray::number(i) + "#" + QByteArray::number(100 + i) + "\r\n";
    }
    SlotTable table;
    table.SetCount(60);
    table[50].Name = QStringLiteral("old");
    table[3].CardSplitName = QStringLiteral("old pane");
    table[3].Answer = 5;
    ApplyImport(table, ParseImportFile(file), 8, 6);
    EXPECT_EQ(table.Count.load(), 48);
    EXPECT_EQ(table[0].Name.ToString(), QStringLiteral("S1"));
    EXPECT_EQ(table[9].CardID.load(), 110);
    EXPECT_EQ(table[0].EntryNumber, 0);
    EXPECT_TRUE(table[3].CardSplitName.IsEmpty()); // seat layer only
    EXPECT_EQ(table[3].CardSplitID.load(), 0);
    EXPECT_EQ(table[3].Answer.load(), 0u);
    for (int i = 10; i < 100; ++i) {
        EXPECT_TRUE(table[i].Name.IsEmpty()) << i;
        EXPECT_EQ(table[i].CardID.load(), 0) << i;
    }

    // Saved, it gives sections 0001..0048 whose pane layer loads as the seat layer.
    DataDir dir;
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    SlotTable loaded;
    ASSERT_EQ(LoadRoster(dir.Path(), loaded), 48);
    EXPECT_EQ(loaded[4].CardSplitName.ToString(), QStringLiteral("S5"));
    EXPECT_EQ(loaded[4].CardSplitID.load(), 105);
    EXPECT_TRUE(loaded[47].Name.IsEmpty());
}

TEST(ApplyImport, AFailedImportStillSetsTheCount) {
    SlotTable table;
    ApplyImport(table, ParseImportFile("Ann#1\n#x\nBob#2\n"), 4, 5);
    EXPECT_EQ(table.Count.load(), 20);
    EXPECT_EQ(table[0].CardID.load(), 1);
    EXPECT_TRUE(table[1].Name.IsEmpty());
    EXPECT_EQ(table[1].CardID.load(), 0);
    EXPECT_TRUE(table[2].Name.IsEmpty());
}

TEST(ApplyImport, TheCountStaysWithinTheTable) {
    SlotTable table;
    ApplyImport(table, ImportParseResult(), 12, 12);
    EXPECT_EQ(table.Count.load(), 100);
    ApplyImport(table, ImportParseResult(), -3, 4);
    EXPECT_EQ(table.Count.load(), 0);
}

TEST(ParseImportFile, CountsTheLinesBeyondTheLastSeat) {
    const auto lines = [](int count, const QByteArray &last = {}) {
        QByteArray file;
        for (int i = 1; i <= count; ++i) {
            file += "S#" + QByteArray::number(i) + "\n";
        }
        return ParseImportFile(file + last);
    };
    EXPECT_EQ(LinesBeyondLastSeat(lines(35), 30), 5);
    EXPECT_EQ(LinesBeyondLastSeat(lines(30), 30), 0);
    EXPECT_EQ(LinesBeyondLastSeat(lines(10), 48), 0);
    EXPECT_EQ(LinesBeyondLastSeat(lines(105), 100), 5);
    EXPECT_EQ(LinesBeyondLastSeat(lines(6, "bad\nS#1\n"), 4), 2); // the bad line is no student
}

} // namespace
} // namespace lumora
