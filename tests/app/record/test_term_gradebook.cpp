// The term's gradebook of a hand-built record: each kind of answer, what
// stays out of the term, totals and attendance, the statistics; the current
// term; the class as typed; and the workbook read back by another reader.
#include "record/TermGradebook.h"

#include "RecordTest.h"
#include "TermFixture.h"
#include "XlsxCells.h"
#include "record/Export.h"
#include "record/SheetWriters.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

namespace lumora {
namespace {

const TermRange kSeptember{QDate(2026, 9, 1), QDate(2026, 9, 30)};

// A cell as the CSV shows it, without the formula guard.
QString Shown(const ExportCell &cell) {
    switch (cell.kind) {
    case ExportCell::Kind::Number:
        return QString::number(cell.number);
    case ExportCell::Kind::Percent:
        return QString::number(cell.number * 100, 'f', 2) + u'%';
    case ExportCell::Kind::Date:
        return cell.date.toString(Qt::ISODate);
    default:
        return cell.text;
    }
}

// The gradebook's row of a student (by name) and its cells.
const std::vector<ExportCell> *RowOf(const ExportSheet &book, const QString &name) {
    for (const auto &row : book.rows) {
        if (row.size() > 1 && row[1].kind == ExportCell::Kind::Text && row[1].text == name) {
            return &row;
        }
    }
    return nullptr;
}

TEST(TermGradebook, ScoresEachKindOfAnswerAndLeavesOutWhatIsNotTheTerm) {
    test::TermFixture record;
    QString error;
    const auto term = BuildTermExport(record.DataDir(), "7B", kSeptember, &error);
    ASSERT_TRUE(term) << error.toStdString();
    // Headings, names and the rows as a whole: AnotherReaderReadsTheWorkbook.
    const ExportSheet &book = term->gradebook;
    const struct {
        const char *what;
        const char *name;
        int column;
        const char *shown;
    } cases[] = {
        {"a right choice scores 1 without set points", "Ann", 3, "1"},
        {"a wrong choice", "Bob", 3, "0"},
        {"no answer", "=1+1", 3, ""},
        {"the set's points", "Ann", 4, "2"},
        {"a carried letter is never right", "Bob", 4, "0"},
        {"nothing but carried letters is a wrong answer", "=1+1", 4, "0"},
        {"graded handwriting", "Ann", 5, "2"},
        {"handwriting not graded yet", "Bob", 5, ""},
        {"no seat in the lesson", "Bob", 6, ""},
        {"heard but never pressed", "Ann", 6, ""},
        {"half a point", "Ann", 7, "0.5"},
        {"seat of the latest lesson", "Bob", 0, "5"},
        {"tablet of the latest lesson", "Bob", 2, "15"},
        {"total, nothing of the bin, 8A, 31 August or 1 October", "Ann", 8, "5.5"},
        {"total", "=1+1", 8, "1"},
        {"handwriting counts once graded: 1 + 2 + 3 + 1 + 0.5", "-y", 9, "7.5"},
        {"percent", "Ann", 10, "73.33%"},
        {"heard, pressed, or both", "Ann", 11, "3"},
        {"heard in the bin or another class is no attendance", "Bob", 11, "2"},
        {"a picture outside the record is no attendance", "=1+1", 11, "1"},
        {"never heard", "@z", 11, "0"},
        {"lessons held", "@z", 12, "3"},
    };
    for (const auto &c : cases) {
        const auto *row = RowOf(book, QString::fromUtf8(c.name));
        ASSERT_TRUE(row) << c.name;
        ASSERT_LT(static_cast<size_t>(c.column), row->size()) << c.what;
        EXPECT_EQ(Shown((*row)[static_cast<size_t>(c.column)]), QString::fromUtf8(c.shown))
            << c.what;
    }
    // Handwriting links its picture, only one inside the record.
    EXPECT_TRUE(RowOf(book, "Ann")->at(5).link.endsWith("/Records/1/q3-seat1.png"));
    EXPECT_TRUE(RowOf(book, "Bob")->at(5).link.endsWith("/Records/1/q3-seat2.png"));
    EXPECT_TRUE(RowOf(book, "=1+1")->at(5).link.isEmpty());
    EXPECT_EQ(term->lessons, 3);

    // Every ended question after its lesson's day and name; the first: Ann
    // right, Bob and =1+1 not.
    const ExportSheet &statistics = term->statistics;
    ASSERT_GE(statistics.rows.size(), 6u);
    EXPECT_EQ(Shown(statistics.rows[1][0]), "2026-09-03");
    EXPECT_EQ(statistics.rows[1][1].text, "Fractions");
    EXPECT_EQ(Shown(statistics.rows[1][6]), "3");             // scored
    EXPECT_NEAR(statistics.rows[1][7].number, 1.0 / 3, 1e-9); // difficulty
    EXPECT_EQ(Shown(statistics.rows[3][6]), "1");             // the handwriting alone: Ann's 2 of 3
    EXPECT_NEAR(statistics.rows[3][7].number, 2.0 / 3, 1e-9);
    EXPECT_EQ(Shown(statistics.rows[5][0]) + statistics.rows[5][1].text, "2026-09-30Late");
    EXPECT_EQ(statistics.rows.back()[0].text, "Reliability (alpha)"); // points other than 1
}

TEST(TermRange, CurrentTermHoldsToday) {
    const std::vector<QDate> configured{QDate(2026, 9, 1), QDate(2027, 2, 15)};
    const struct {
        QDate today;
        std::vector<QDate> starts;
        TermRange term;
    } cases[] = {
        // The school year's terms when none are set.
        {QDate(2026, 12, 9), {}, {QDate(2026, 9, 1), QDate(2027, 1, 31)}},
        {QDate(2026, 9, 1), {}, {QDate(2026, 9, 1), QDate(2027, 1, 31)}},
        {QDate(2026, 1, 31), {}, {QDate(2025, 9, 1), QDate(2026, 1, 31)}},
        {QDate(2028, 2, 29), {}, {QDate(2028, 2, 1), QDate(2028, 8, 31)}},
        // Set starts: to the day before the next, the last one open to today.
        {QDate(2027, 2, 14), configured, {QDate(2026, 9, 1), QDate(2027, 2, 14)}},
        {QDate(2027, 2, 15), configured, {QDate(2027, 2, 15), QDate(2027, 2, 15)}},
        {QDate(2027, 6, 1), configured, {QDate(2027, 2, 15), QDate(2027, 6, 1)}},
        // Before every set start the usual terms fill in, up to the set one.
        {QDate(2026, 8, 15), configured, {QDate(2026, 2, 1), QDate(2026, 8, 31)}},
        {QDate(2026, 9, 10), {QDate(2026, 9, 15)}, {QDate(2026, 9, 1), QDate(2026, 9, 14)}},
    };
    for (const auto &c : cases) {
        const TermRange term = CurrentTerm(c.today, c.starts);
        EXPECT_EQ(term, c.term) << c.today.toString(Qt::ISODate).toStdString() << " -> "
                                << term.from.toString(Qt::ISODate).toStdString() << ".."
                                << term.to.toString(Qt::ISODate).toStdString();
    }
}

TEST(TermGradebook, TheClassAsTyped) {
    test::TermFixture record;
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(record.DataDir(), &error)) << error.toStdString();
    const std::pair<const char *, const char *> cases[] = {
        {"Year 7 B", "7B"},
        {"7B", "7B"},
        {"year 7 b", "7B"},
        {"8a", "8A"},
        {" 8A ", "8A"},
        {"", "no class given: name the class as the history lists it"},
        {"  ", "no class given: name the class as the history lists it"},
        {"9C",
         R"(there is no class "9C": the record holds "Year 7 B" (file 7B), "Year 8 A" (file 8A))"},
    };
    for (const auto &[typed, expected] : cases) {
        error.clear();
        const auto found = ResolveTermClass(history, QString::fromUtf8(typed), &error);
        EXPECT_EQ(found ? found->file : error, QString::fromUtf8(expected)) << typed;
    }
}

// xlsx2csv, a reader that is not ours, sees every student, every question
// column and the totals; names that look like formulas come back as they are
// (a formula's cell would read as its result), days as days.
TEST(TermGradebook, AnotherReaderReadsTheWorkbook) {
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("xlsx2csv"));
    if (reader.isEmpty()) {
        GTEST_SKIP() << "xlsx2csv is not installed (scripts/setup.sh installs it)";
    }
    test::TermFixture record;
    QString error;
    const QString xlsx = record.File("term.xlsx");
    ASSERT_TRUE(ExportTerm(record.DataDir(), "7B", kSeptember, ExportFormat::Xlsx, xlsx,
                           ExistingFiles::Keep, &error))
        << error.toStdString();
    const auto sheet = [&](int number) {
        QString output;
        EXPECT_EQ(test::RunWithoutDisplay(reader, {"-s", QString::number(number), xlsx}, &output),
                  0)
            << output.toStdString();
        return output.remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
    };
    EXPECT_EQ(sheet(1), QStringList({
                            ",,,2026-09-03 · Fractions,2026-09-03 · Fractions,2026-09-03 · "
                            "Fractions,2026-09-10 · Lesson 2,2026-09-30 · Late,,,,,",
                            "Seat,Name,Tablet ID,Q1,Q2,Q3,Q1,Q1,Total,Points possible,Percent,"
                            "Lessons attended,Lessons held",
                            "1,Ann,11,1,2,2,,0.5,5.5,7.5,0.7333333333333333,3,3",
                            "3,=1+1,13,,0,,1,,1,7.5,0.1333333333333333,1,3",
                            "4,+x,14,,,,0,,0,7.5,0,1,3",
                            "5,Bob,15,0,0,q3-seat2.png,,0,0,7.5,0,2,3",
                            "6,-y,16,,,,,,0,7.5,0,0,3",
                            "7,@z,17,,,,,,0,7.5,0,0,3",
                        }));
    const QStringList statistics = sheet(2);
    ASSERT_EQ(statistics.size(), 1 + 5 + 5); // heading, questions, the term's lines
    EXPECT_TRUE(statistics[1].startsWith("2026-09-03,Fractions,1,Single choice,B,1,3,"));
    EXPECT_EQ(
        sheet(3),
        QStringList(
            {"Date,Lesson,Question,Seat,Name,Tablet ID,Letter,Time (ms)",
             "2026-09-03,Fractions,1,1,Ann,11,B,1500", "2026-09-03,Fractions,1,2,Bob,12,A,900",
             "2026-09-03,Fractions,2,1,Ann,11,A,2000", "2026-09-03,Fractions,2,1,Ann,11,C,2500",
             "2026-09-03,Fractions,2,2,Bob,12,C,3000", "2026-09-10,Lesson 2,1,3,=1+1,13,A,700",
             "2026-09-10,Lesson 2,1,4,+x,14,B,800", "2026-09-30,Late,1,1,Ann,11,A,400",
             "2026-09-30,Late,1,5,Bob,15,B,600"}));
}

} // namespace
} // namespace lumora
