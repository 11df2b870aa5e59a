// StudentInfo.ini on real files.
#include "config/Roster.h"

#include "config/IniFile.h"

#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

// The file's text without its blank lines (SimpleIni puts blank lines between
// sections; they carry nothing).
QString Lines(const QByteArray &bytes) {
    QStringList lines = QString::fromUtf8(bytes).split(u'\n');
    lines.removeAll(QString());
    return lines.join(u'\n') + u'\n';
}

QByteArray Section(int number, const QByteArray &body) {
    return "[" + QString::asprintf("%.4d", number).toLatin1() + "]\n" + body;
}

TEST(Roster, SectionNamesAreTheEntryNumberWithFourDigits) {
    EXPECT_EQ(RosterSectionName(0), QStringLiteral("0001"));
    EXPECT_EQ(RosterSectionName(47), QStringLiteral("0048"));
    EXPECT_EQ(RosterSectionName(99), QStringLiteral("0100"));
    EXPECT_EQ(RosterSectionName(9999), QStringLiteral("10000"));
}

TEST(Roster, AMissingFileGivesAnEmptyRoster) {
    DataDir dir;
    SlotTable table;
    table.SetCount(5);
    table[0].Name = QStringLiteral("old");
    EXPECT_EQ(LoadRoster(dir.Path(), table), 0);
    EXPECT_EQ(table.Count.load(), 0);
    EXPECT_TRUE(table[0].Name.IsEmpty());
}

TEST(Roster, LoadsBothLayersAndNumbersTheEntries) {
    DataDir dir;
    dir.Write("StudentInfo.ini",
              Section(1, "CardID=101\nName=Ann\nCardSplitID=202\nCardSplitName=Bob\n") +
                  Section(2, "CardID=7\nName=张三\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 2);
    EXPECT_EQ(table[0].Name.ToString(), QStringLiteral("Ann"));
    EXPECT_EQ(table[0].CardID.load(), 101);
    EXPECT_EQ(table[0].CardSplitName.ToString(), QStringLiteral("Bob"));
    EXPECT_EQ(table[0].CardSplitID.load(), 202);
    EXPECT_EQ(table[0].EntryNumber, 1);
    EXPECT_EQ(table[1].EntryNumber, 2);
    EXPECT_EQ(table[0].Answer.load(), 0u);
    EXPECT_EQ(table[0].Seen.load(), 0);
}

TEST(Roster, WithoutCardSplitNameThePaneLayerIsTheSeatLayer) {
    DataDir dir;
    // CardSplitID is there but CardSplitName is not: both come from the seat layer.
    dir.Write("StudentInfo.ini", Section(1, "CardID=33\nName=Ann\nCardSplitID=44\n") +
                                     Section(2, "CardID=5\nName=Cy\nCardSplitName=\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 2);
    EXPECT_EQ(table[0].CardSplitName.ToString(), QStringLiteral("Ann"));
    EXPECT_EQ(table[0].CardSplitID.load(), 33);
    EXPECT_EQ(table[1].CardSplitName.ToString(), QStringLiteral("Cy"));
    EXPECT_EQ(table[1].CardSplitID.load(), 5);
}

TEST(Roster, IdsKeepTheirLow16Bits) {
    DataDir dir;
    dir.Write("StudentInfo.ini",
              Section(1, "CardID=70000\nName=A\nCardSplitID=65536\nCardSplitName=B\n") +
                  Section(2, "CardID=-1\nName=C\n") + Section(3, "CardID=12abc\nName=D\n") +
                  Section(4, "CardID=abc\nName=E\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 4);
    EXPECT_EQ(table[0].CardID.load(), 4464);
    EXPECT_EQ(table[0].CardSplitID.load(), 0);
    EXPECT_EQ(table[1].CardID.load(), 65535);
    EXPECT_EQ(table[2].CardID.load(), 12);
    EXPECT_EQ(table[3].CardID.load(), 0);
}

TEST(Roster, OnlyTheNumberOfSectionsCounts) {
    DataDir dir;
    // Sections 0001 and 0003: two sections, so entries 0 and 1 are read, from
    // 0001 and the absent 0002; 0003 is not read.
    dir.Write("StudentInfo.ini",
              Section(1, "CardID=1\nName=One\n") + Section(3, "CardID=3\nName=Three\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 2);
    EXPECT_EQ(table[0].Name.ToString(), QStringLiteral("One"));
    EXPECT_TRUE(table[1].Name.IsEmpty());
    EXPECT_EQ(table[1].CardID.load(), 0);
    EXPECT_EQ(table[1].EntryNumber, 2);
    EXPECT_TRUE(table[2].Name.IsEmpty());
}

TEST(Roster, OnlyFourDigitSectionsCountAndTheRosterDoesNotGrow) {
    DataDir dir;
    QByteArray file = "[x]\n[0000]\n[00003]\n";
    for (int i = 1; i <= 30; ++i) {
        file += Section(i, "CardID=" + QByteArray::number(i) + "\nName=S\n");
    }
    dir.Write("StudentInfo.ini", file + "[Extra]\nNote=keep\n");
    for (int start = 0; start < 4; ++start) {
        SlotTable table;
        ASSERT_EQ(LoadRoster(dir.Path(), table), 30) << "start " << start;
        EXPECT_EQ(table[29].CardID.load(), 30);
        ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    }
    EXPECT_FALSE(dir.Read("StudentInfo.ini").contains("[0031]"));
}

TEST(Roster, MoreThan100SectionsLoadTheFirst100) {
    DataDir dir;
    QByteArray file;
    for (int i = 1; i <= 120; ++i) {
        file += Section(i, "CardID=" + QByteArray::number(i) + "\nName=S" + QByteArray::number(i) +
                               "\n");
    }
    dir.Write("StudentInfo.ini", file);
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 100);
    EXPECT_EQ(table[99].CardID.load(), 100);
    EXPECT_EQ(table[99].Name.ToString(), QStringLiteral("S100"));
}

TEST(Roster, LongNamesAreCutAtACharacterBoundary) {
    DataDir dir;
    // 22 Chinese characters (66 bytes) and 70 ASCII letters.
    dir.Write("StudentInfo.ini",
              Section(1, U("CardID=1\nName=一二三四五六七八九十百千万亿兆京一二三四五六\n"
                           "CardSplitName=")
                                 .toUtf8() +
                             QByteArray(70, 'x') + "\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 1);
    EXPECT_EQ(table[0].Name.ToString(), U("一二三四五六七八九十百千万亿兆京一二三四五"));
    EXPECT_EQ(table[0].CardSplitName.ToString(), QString(64, u'x'));
}

TEST(Roster, ALegacyGb18030FileLoads) {
    DataDir dir;
    // Name=张三 and CardSplitName=李四 in GB18030.
    dir.Write("StudentInfo.ini",
              QByteArray("[0001]\r\nCardID=12\r\nName=\xD5\xC5\xC8\xFD\r\n"
                         "CardSplitID=13\r\nCardSplitName=\xC0\xEE\xCB\xC4\r\n"));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 1);
    EXPECT_EQ(table[0].Name.ToString(), U("张三"));
    EXPECT_EQ(table[0].CardSplitName.ToString(), U("李四"));
    // Saving writes UTF-8.
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    EXPECT_TRUE(dir.Read("StudentInfo.ini").contains(U("Name=张三").toUtf8()));
    SlotTable again;
    ASSERT_EQ(LoadRoster(dir.Path(), again), 1);
    EXPECT_EQ(again[0].CardSplitName.ToString(), U("李四"));
}

TEST(Roster, SaveWritesTheKeysInOrder) {
    DataDir dir;
    SlotTable table;
    table.SetCount(2);
    table[0].Name = U("张三");
    table[0].CardID = 65535;
    table[0].Answer = 6; // runtime fields are never written
    table[0].Seen = 1;
    table[1].CardSplitName = QStringLiteral("Bo");
    table[1].CardSplitID = 9;
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    EXPECT_EQ(Lines(dir.Read("StudentInfo.ini")),
              U("[0001]\nCardID=65535\nName=张三\nCardSplitID=0\nCardSplitName=\n"
                "[0002]\nCardID=0\nName=\nCardSplitID=9\nCardSplitName=Bo\n"));
}

TEST(Roster, SaveAfterTheCountDroppedKeepsTheSectionsAbove) {
    DataDir dir;
    SlotTable table;
    table.SetCount(48);
    for (int i = 0; i < 48; ++i) {
        table[i].Name = QStringLiteral("old%1").arg(i);
        table[i].CardID = static_cast<uint16_t>(1000 + i);
    }
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    // An import drops the count to 36.
    table.Clear();
    table.SetCount(36);
    for (int i = 0; i < 36; ++i) {
        table[i].Name = QStringLiteral("new%1").arg(i);
    }
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    IniFile ini;
    ASSERT_EQ(ini.Load(dir.File("StudentInfo.ini")), ReadStatus::Ok);
    EXPECT_EQ(ini.ReadString(u"0036", u"Name"), QStringLiteral("new35"));
    EXPECT_EQ(ini.ReadString(u"0037", u"Name"), QStringLiteral("old36"));
    EXPECT_EQ(ini.ReadString(u"0048", u"CardID"), QStringLiteral("1047"));
    SlotTable next;
    ASSERT_EQ(LoadRoster(dir.Path(), next), 48);
    EXPECT_EQ(next[0].Name.ToString(), QStringLiteral("new0"));
    EXPECT_EQ(next[47].Name.ToString(), QStringLiteral("old47"));
}

TEST(Roster, SavingOneEntryKeepsTheRestOfTheFileAsItWas) {
    DataDir dir;
    const QByteArray before = "; class 3B\n"
                              "[0001]\nCardID=1\nName=Ann\nCardSplitID=1\nCardSplitName=Ann\n"
                              "Note=front row\n\n"
                              "[0002]\nName=Bob\nCardID=2\n\n"
                              "[0003]\nCardID=70000\nName=Cy\n\n"
                              "[Extra]\nKey=Value with = sign\n";
    dir.Write("StudentInfo.ini", before);
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 3); // [Extra] is no entry
    table[1].Name = QStringLiteral("Bea");
    table[1].CardID = 22;
    table[0].Name = QStringLiteral("changed in memory only");
    ASSERT_TRUE(SaveRoster(dir.Path(), table, 1));

    // Section 0002 holds the entry, its keys in their existing order and the
    // new ones after them; every other line is as it was.
    EXPECT_EQ(Lines(dir.Read("StudentInfo.ini")),
              QStringLiteral("; class 3B\n"
                             "[0001]\nCardID=1\nName=Ann\nCardSplitID=1\nCardSplitName=Ann\n"
                             "Note=front row\n"
                             "[0002]\nName=Bea\nCardID=22\nCardSplitID=2\nCardSplitName=Bob\n"
                             "[0003]\nCardID=70000\nName=Cy\n"
                             "[Extra]\nKey=Value with = sign\n"));
}

TEST(Roster, SaveRefusesAnIndexOutsideTheTable) {
    DataDir dir;
    SlotTable table;
    EXPECT_FALSE(SaveRoster(dir.Path(), table, 100));
    EXPECT_FALSE(SaveRoster(dir.Path(), table, -2));
    EXPECT_FALSE(dir.Exists("StudentInfo.ini"));
}

TEST(Roster, SaveDoesNotReplaceAFileItCannotRead) {
    DataDir dir;
    dir.Write("StudentInfo.ini/inside", "a folder where the file should be");
    SlotTable table;
    table.SetCount(1);
    QString error;
    EXPECT_FALSE(SaveRoster(dir.Path(), table, -1, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Roster, ACrashDuringSaveLeavesTheOldFileWhole) {
    DataDir dir;
    const QByteArray old = Section(1, "CardID=1\nName=Ann\n");
    dir.Write("StudentInfo.ini", old);
    SlotTable table;
    table.SetCount(100);
    for (int i = 0; i < 100; ++i) {
        table[i].Name = QStringLiteral("student %1").arg(i);
    }
    ASSERT_TRUE(test::RunAndCrashBeforeReplace([&] { SaveRoster(dir.Path(), table, -1); }));
    EXPECT_EQ(dir.Read("StudentInfo.ini"), old);
    SlotTable loaded;
    EXPECT_EQ(LoadRoster(dir.Path(), loaded), 1);
}

TEST(Roster, AFileNotReadCompletelyLoadsWhatItCanAndIsNeverRewritten) {
    QByteArray file;
    for (int i = 1; i <= 30; ++i) {
        file += Section(i, "CardID=1\nName=S" + QByteArray::number(i) + "\n");
    }
    // Line 6 is the name of entry 2.
    for (const QByteArray &damage : {QByteArray("Name=S\0"
                                                "2",
                                                8),
                                     QByteArray("Name=\xFF\xFF")}) {
        DataDir dir;
        dir.Write("StudentInfo.ini", QByteArray(file).replace("Name=S2\n", damage + "\n"));
        SlotTable table;
        FileProblem problem;
        ASSERT_EQ(LoadRoster(dir.Path(), table, &problem), 30);
        EXPECT_EQ(table[29].Name.ToString(), QStringLiteral("S30"));
        EXPECT_EQ(problem.What,
                  damage.contains('\0') ? FileProblem::ZeroByte : FileProblem::NotText);
        EXPECT_EQ(problem.Line, 6);
        QString error;
        EXPECT_FALSE(SaveRoster(dir.Path(), table, -1, &error));
        EXPECT_FALSE(SaveRoster(dir.Path(), table, 3));
        EXPECT_EQ(error, problem.Describe());
        EXPECT_EQ(dir.Read("StudentInfo.ini"),
                  QByteArray(file).replace("Name=S2\n", damage + "\n"));
    }
}

// Saved as "Unicode" by a Windows editor: UTF-16 with CR LF.
TEST(Roster, QuotedValuesOfAUtf16FileReadAsTheProfileFunctionsReadThemAndRoundTrip) {
    DataDir dir;
    dir.Write("StudentInfo.ini",
              test::Utf16(u"[0001]\r\nName=\"Ann Lee\"\r\nCardID=\"12\"\r\nCardSplitName='Bo'\r\n"
                          u"[0002]\r\nName=\"Cy\r\n"_qs));
    SlotTable table;
    ASSERT_EQ(LoadRoster(dir.Path(), table), 2);
    EXPECT_EQ(table[0].Name.ToString(), u"Ann Lee"_qs);
    EXPECT_EQ(table[0].CardID.load(), 12);
    EXPECT_EQ(table[0].CardSplitName.ToString(), u"Bo"_qs);
    EXPECT_EQ(table[1].Name.ToString(), u"\"Cy"_qs); // one quote is no pair
    table[0].Name = u"\"Ann\""_qs;
    table[1].Name = u" Cy "_qs;
    ASSERT_TRUE(SaveRoster(dir.Path(), table, -1));
    ASSERT_EQ(LoadRoster(dir.Path(), table), 2);
    EXPECT_EQ(table[0].Name.ToString(), u"\"Ann\""_qs);
    EXPECT_EQ(table[1].Name.ToString(), u" Cy "_qs);
}

TEST(Roster, SavingOneEntryWithoutAFileWritesTheWholeRoster) {
    DataDir dir;
    SlotTable table;
    table.SetCount(5);
    ASSERT_TRUE(SaveRoster(dir.Path(), table, 2));
    EXPECT_EQ(LoadRoster(dir.Path(), table), 5);
}

} // namespace
} // namespace lumora
