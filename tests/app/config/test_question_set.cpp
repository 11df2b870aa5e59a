// Question sets: the CSV file read and written, and the sets in the data folder.
#include "config/QuestionSet.h"
#include "config/QuestionSetStore.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;
using test::U;
using Kind = SetRowProblem::Kind;

struct GoodFile {
    const char *name;
    QByteArray bytes;
    std::vector<PlannedQuestion> questions;
};

class QuestionSetGood : public testing::TestWithParam<GoodFile> {};

TEST_P(QuestionSetGood, ReadsEveryQuestion) {
    const SetReadResult read = ParseQuestionSet(GetParam().bytes);
    ASSERT_TRUE(read.Ok()) << read.Problems.front().Describe().toStdString();
    EXPECT_EQ(read.Set.Questions, GetParam().questions);
}

INSTANTIATE_TEST_SUITE_P(
    Files, QuestionSetGood,
    testing::Values(
        GoodFile{"AllColumns",
                 "type,key,text,picture,seconds,points\r\n"
                 "single,b,What is 2 + 1?,,30,1\r\n"
                 "multiple,DCA,\"Even: 2, 3, \"\"4\"\"\",,,2.5\r\n"
                 "handwritten,,Draw it,pics/t.png,120,\r\n",
                 {{0, "B", "What is 2 + 1?", "", 30, 1.0},
                  {1, "ACD", "Even: 2, 3, \"4\"", "", 0, 2.5},
                  {2, "", "Draw it", "pics/t.png", 120, std::nullopt}}},
        GoodFile{"OnlyTypeAndKeyInAnyOrderBlankRowsSkipped",
                 "Key,TYPE\n\nA,single\n ,\nAB,Multiple\n,handwritten",
                 {{0, "A", "", "", 0, std::nullopt},
                  {1, "AB", "", "", 0, std::nullopt},
                  {2, "", "", "", 0, std::nullopt}}},
        GoodFile{"ChineseNamesSemicolons",
                 U("题型;答案;题目;分值\n单选;C;一加一;1\n主观;;\"写出\n过程\";3\n").toUtf8(),
                 {{0, "C", U("一加一"), "", 0, 1.0}, {2, "", U("写出\n过程"), "", 0, 3.0}}},
        GoodFile{"TabsFromASpreadsheetCopy",
                 "type\tkey\ttext\nsingle\tH\t'=1+1\n",
                 {{0, "H", "=1+1", "", 0, std::nullopt}}},
        // GB18030 text as a Windows editor of the legacy code page saves it.
        GoodFile{"LegacyCodePage",
                 QByteArray("type,key,text\nsingle,A,") + "\xD5\xC5\xC8\xFD" + "\n",
                 {{0, "A", U("张三"), "", 0, std::nullopt}}},
        GoodFile{"Utf16WithByteOrderMark",
                 test::Utf16(U("type,key\nmultiple,BA\n")),
                 {{1, "AB", "", "", 0, std::nullopt}}}),
    [](const auto &info) { return std::string(info.param.name); });

struct BadFile {
    const char *name;
    QByteArray bytes;
    std::vector<SetRowProblem> problems;
};

class QuestionSetBad : public testing::TestWithParam<BadFile> {};

TEST_P(QuestionSetBad, ReportsEveryBadRowAndTakesNothing) {
    const SetReadResult read = ParseQuestionSet(GetParam().bytes);
    EXPECT_EQ(read.Problems, GetParam().problems);
    EXPECT_TRUE(read.Set.Questions.empty());
    for (const SetRowProblem &problem : read.Problems) {
        EXPECT_FALSE(problem.Describe().isEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, QuestionSetBad,
    testing::Values(
        BadFile{"Empty", "", {{0, Kind::NoQuestions, ""}}},
        BadFile{"HeaderOnly", "type,key\r\n", {{0, Kind::NoQuestions, ""}}},
        BadFile{"NoHeader",
                "single,A\n",
                {{1, Kind::UnknownColumn, "single"},
                 {1, Kind::UnknownColumn, "A"},
                 {1, Kind::NoColumn, "type"},
                 {1, Kind::NoColumn, "key"}}},
        BadFile{"EveryKindOfRow",
                "type,key,text,picture,seconds,points\n"
                "single,A,fine\n"
                "truefalse,A\n"
                "single,,no key\n"
                "multiple,AZ\n"
                "single,AB\n"
                "handwritten,A\n"
                "single,A,,,0\n"
                "single,A,,,3601\n"
                "single,A,,,1.5\n"
                "single,A,,,,-1\n"
                "single,A,,,,lots\n"
                "single,A,,../up.png\n"
                "single,A,,/abs.png\n"
                "single,A,,C:\\x.png\n"
                "single,A,a,,,,extra\n"
                "single,A,,,,,\n"
                "single,A,\"open\n",
                {{3, Kind::BadType, "truefalse"},
                 {4, Kind::KeyMissing, ""},
                 {5, Kind::BadKey, "AZ"},
                 {6, Kind::KeyTooLong, "AB"},
                 {7, Kind::KeyOnHandwritten, "A"},
                 {8, Kind::BadSeconds, "0"},
                 {9, Kind::BadSeconds, "3601"},
                 {10, Kind::BadSeconds, "1.5"},
                 {11, Kind::BadPoints, "-1"},
                 {12, Kind::BadPoints, "lots"},
                 {13, Kind::BadPicture, "../up.png"},
                 {14, Kind::BadPicture, "/abs.png"},
                 {15, Kind::BadPicture, "C:/x.png"},
                 {16, Kind::TooManyCells, ""},
                 {18, Kind::OpenQuote, ""}}},
        BadFile{"RowNumbersCountQuotedLineBreaks",
                "type,key,text\nsingle,A,\"two\nlines\"\nsingle,Q\n",
                {{4, Kind::BadKey, "Q"}}},
        BadFile{"ZeroByteAndBytesThatAreNoText",
                QByteArray("type,key\nsingle,A\nsingle,B") + '\0' + "\nsingle,\xFF\n",
                {{3, Kind::NotText, ""}, {4, Kind::NotText, ""}, {4, Kind::BadKey, U("\uFFFD")}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(QuestionSet, WrittenFileReadsBackTheSame) {
    QuestionSet set;
    set.Questions = {{0, "C", U("一, \"二\"\n三"), "a b.png", 45, 0.5},
                     {1, "ABD", "@sum", "", 0, std::nullopt},
                     {2, "", " spaced ", "sub/p.png", 0, 10.0}};
    const QByteArray csv = QuestionSetCsv(set);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBFtype,key,text,picture,seconds,points\r\n"));
    EXPECT_TRUE(csv.contains(",'@sum,")); // never a formula in a spreadsheet
    const SetReadResult read = ParseQuestionSet(csv);
    ASSERT_TRUE(read.Ok());
    auto expected = set.Questions;
    expected[2].Text = "spaced"; // cells are trimmed
    EXPECT_EQ(read.Set.Questions, expected);
}

TEST(QuestionSetStore, ImportCopiesTheSetAndItsPicturesOrNothing) {
    DataDir data;
    DataDir source;
    source.Write("pics/q.png", "PNG");
    source.Write("Week 1.csv", "type,key,picture\nsingle,A,pics/q.png\nhandwritten,,\n");
    source.Write("bad.csv", "type,key,picture\nsingle,A,pics/q.png\nsingle,A,none.png\n");

    const SetFileResult bad = ImportQuestionSet(data.Path(), source.File("bad.csv"));
    ASSERT_EQ(bad.Problems.size(), 1);
    EXPECT_TRUE(bad.Problems[0].contains("none.png"));
    EXPECT_FALSE(data.Exists("QuestionSets"));

    const SetFileResult good = ImportQuestionSet(data.Path(), source.File("Week 1.csv"));
    ASSERT_TRUE(good.Ok()) << good.Problems.join('\n').toStdString();
    EXPECT_EQ(data.Read("QuestionSets/Week 1/pics/q.png"), "PNG");
    EXPECT_EQ(ListQuestionSets(data.Path()), QStringList{"Week 1"});
    const SetFileResult loaded = LoadQuestionSet(data.Path(), "Week 1");
    ASSERT_TRUE(loaded.Ok());
    EXPECT_EQ(loaded.Set.Name, "Week 1");
    EXPECT_EQ(loaded.Set.Questions, good.Set.Questions);

    // A stored set whose picture went is reported when it is loaded.
    QFile::remove(data.File("QuestionSets/Week 1/pics/q.png"));
    EXPECT_FALSE(LoadQuestionSet(data.Path(), "Week 1").Ok());
    EXPECT_FALSE(LoadQuestionSet(data.Path(), "none").Ok());
}

TEST(QuestionSetStore, ExportWritesTheFileAndKeepsPicturesThere) {
    DataDir data;
    data.Write("QuestionSets/S/p.png", "NEW");
    DataDir target;
    target.Write("p.png", "OLD");
    QuestionSet set{"S", {{2, "", "", "p.png", 0, std::nullopt}}};
    QString error;
    ASSERT_TRUE(ExportQuestionSet(data.Path(), set, target.File("out.csv"), &error));
    EXPECT_EQ(target.Read("p.png"), "OLD");
    EXPECT_EQ(target.Read("out.csv"), QuestionSetCsv(set));
    // A target folder that is not there fails and says where.
    EXPECT_FALSE(ExportQuestionSet(data.Path(), {"T", {}}, target.File("no/out.csv"), &error));
    EXPECT_TRUE(error.contains("out.csv"));
}

} // namespace
} // namespace lumora
