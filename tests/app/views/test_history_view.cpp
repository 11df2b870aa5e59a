// The lesson history's tables on a recorded lesson, in the view area of a
// 1366 x 768, a 1024 x 768 and an 800 x 600 screen: every column heading
// fits its column, in both shipped languages; on the smallest screen the
// tables scroll rather than cut a heading.
#include "../record/LessonFixture.h"
#include "../record/RecordTest.h"

#include "config/LanguageTexts.h"
#include "core/MessageTexts.h"
#include "dialogs/UnSetName.h"
#include "record/Recorder.h"
#include "views/HistoryView.h"
#include "views/TermPage.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace lumora::test {
namespace {

struct HeadingCase {
    const char *language;
    QSize area;        // the view area of the screen
    bool wholeColumns; // every table shows all its columns without scrolling
};

void PrintTo(const HeadingCase &c, std::ostream *os) {
    *os << c.language << '-' << c.area.width();
}

class HistoryHeadings : public ::testing::TestWithParam<HeadingCase> {
protected:
    void TearDown() override { MessageTexts = MessageTextTable(); }
};

TEST_P(HistoryHeadings, FitTheirColumns) {
    const HeadingCase &c = GetParam();
    const LessonFixture lesson;
    LanguageTexts texts;
    LoadLanguage(QStringLiteral(LUMORA_LANGUAGE_DIR "/%1/Language.xml").arg(c.language), texts);
    QWidget area;
    area.resize(c.area);
    THistoryView view(lesson.DataDir(), &area);
    view.UpdateTexts(texts);
    area.show();
    view.Reload();
    // The item analysis beside the questions: the first was right for 1 of
    // 3, the handwritten one has no scores; the lesson's reliability heads them.
    const QAbstractItemModel *questions =
        view.findChild<QTableView *>(QStringLiteral("tblQuestions"))->model();
    EXPECT_EQ(questions->index(0, 3).data().toString(), QStringLiteral("33 %"));
    EXPECT_EQ(questions->index(2, 3).data().toString(), QString());
    // Whole, or elided with the whole in its tooltip.
    const auto *heading = view.findChild<QLabel *>(QStringLiteral("lblQuestions"));
    QCoreApplication::processEvents();
    const QString summary = heading->toolTip().isEmpty() ? heading->text() : heading->toolTip();
    EXPECT_TRUE(summary.contains(QStringLiteral("0.67 (KR-20)"))) << summary.toStdString();
    EXPECT_LE(heading->fontMetrics().horizontalAdvance(heading->text()),
              heading->contentsRect().width());
    for (int question : {1, 3}) { // a choice question, a handwritten one
        ASSERT_TRUE(view.ShowQuestion(question));
        QCoreApplication::processEvents();
        for (const char *name : {"tblLessons", "tblQuestions", "tblStudents"}) {
            const auto *table = view.findChild<QTableView *>(QString::fromLatin1(name));
            ASSERT_NE(table, nullptr) << name;
            const QHeaderView *header = table->horizontalHeader();
            QFont bold = header->font(); // the headings' style sheet makes them bold
            bold.setBold(true);
            const QFontMetrics metrics(bold);
            for (int column = 0; column < header->count(); ++column) {
                if (header->isSectionHidden(column)) {
                    continue;
                }
                const QString heading =
                    table->model()->headerData(column, Qt::Horizontal).toString();
                // The text and the section's padding of 6 pixels each side.
                EXPECT_GE(header->sectionSize(column), metrics.horizontalAdvance(heading) + 12)
                    << name << " " << heading.toStdString() << " question " << question;
            }
            if (c.wholeColumns) {
                EXPECT_LE(header->length(), table->viewport()->width()) << name;
            }
        }
    }
}

TEST(HistoryGrading, AKeyGradesTheOpenPictureAndTheNextComesUp) {
    const LessonFixture lesson;
    QWidget area;
    area.resize(1173, 707);
    THistoryView view(lesson.DataDir(), &area);
    area.show();
    view.Reload();
    ASSERT_TRUE(view.ShowQuestion(3));
    ASSERT_EQ(view.Pictures().size(), 1u); // Li Mei's
    view.OpenPicture(0);
    QTest::keyClick(&view, Qt::Key_A); // not a grade: nothing happens
    QTest::keyClick(&view, Qt::Key_1);
    // Right: the question's one point; no next picture, so the overlay closes.
    EXPECT_EQ(view.Pictures()[0].grade, std::optional<double>(1));
    EXPECT_FALSE(view.findChild<QWidget *>(QStringLiteral("pnlPictureLarge"))->isVisible());
    const QAbstractItemModel *questions =
        view.findChild<QTableView *>(QStringLiteral("tblQuestions"))->model();
    EXPECT_EQ(questions->index(2, 3).data().toString(), QStringLiteral("100 %"));
    const QAbstractItemModel *students =
        view.findChild<QTableView *>(QStringLiteral("tblStudents"))->model();
    EXPECT_EQ(students->index(1, 3).data().toString(),
              FormatMessage(MessageTexts[MessageKey::HistoryGraded], {"1", "1"}));
    view.OpenPicture(0);
    QTest::keyClick(&view, Qt::Key_7); // more than the question gives: its points
    EXPECT_EQ(view.Pictures()[0].grade, std::optional<double>(1));
    view.OpenPicture(0);
    QTest::keyClick(&view, Qt::Key_Delete);
    EXPECT_EQ(view.Pictures()[0].grade, std::nullopt);
    view.Reload(); // read back from the record
    ASSERT_TRUE(view.ShowQuestion(3));
    EXPECT_EQ(view.Pictures()[0].grade, std::nullopt);
    EXPECT_EQ(questions->index(2, 3).data().toString(), QString());
}

TEST(HistoryAttendance, TheButtonShowsWhoWasPresentSilentOrAbsent) {
    const LessonFixture lesson; // 张三 and =cmd pressed keys, Li Mei pressed and wrote
    QWidget area;
    area.resize(1173, 707);
    THistoryView view(lesson.DataDir(), &area);
    area.show();
    view.Reload();
    ASSERT_TRUE(view.ShowAttendance());
    const QAbstractItemModel *rows =
        view.findChild<QTableView *>(QStringLiteral("tblAttendance"))->model();
    ASSERT_EQ(rows->rowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(rows->index(row, 2).data().toString(), MessageTexts[MessageKey::HistoryPresent]);
    }
    EXPECT_EQ(
        view.findChild<QLabel *>(QStringLiteral("lblQuestion"))->text(),
        FormatMessage(MessageTexts[MessageKey::HistoryAttendanceTitle], {"1", "3", "0", "0"}));
    // A question brings its chart back.
    ASSERT_TRUE(view.ShowQuestion(1));
    EXPECT_FALSE(view.findChild<QTableView *>(QStringLiteral("tblAttendance"))->isVisible());
}

// Three lessons: 7A's, 8B's, 7A's again.
TEST(HistoryClasses, TheFilterListsAClassAndTheBinKeepsLessonsUntilEmptied) {
    test::DataDir dir;
    {
        SlotTable table;
        test::FillTable(table, {{"Ann", 11}});
        Recorder recorder(dir.Path());
        recorder.Start();
        for (const char *name : {"7A", "8B", "7A"}) {
            recorder.SetClass(QString::fromLatin1(name).toLower(), QString::fromLatin1(name));
            recorder.QuestionStarted(0, QStringLiteral("B"), table);
            recorder.QuestionEnded(0, QStringLiteral("B"), table);
        }
        recorder.Stop();
    }
    QWidget area;
    area.resize(1173, 707);
    THistoryView view(dir.Path(), &area);
    area.show();
    view.Reload();
    auto *filter = view.findChild<QComboBox *>(QStringLiteral("cmbClass"));
    auto *table = view.findChild<QTableView *>(QStringLiteral("tblLessons"));
    ASSERT_TRUE(filter && table);
    const auto column = [table](int column) {
        QStringList cells;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            cells << table->model()->index(row, column).data().toString();
        }
        return cells;
    };
    // No class is being taught here, and there are two: all lessons.
    EXPECT_EQ(filter->count(), 4);
    EXPECT_EQ(filter->currentText(), MessageTexts[MessageKey::HistoryAllClasses]);
    EXPECT_EQ(column(0), (QStringList{"3", "2", "1"}));
    EXPECT_EQ(column(4), (QStringList{"7A", "8B", "7A"}));
    ASSERT_TRUE(view.ListClass(QStringLiteral("7a")));
    EXPECT_EQ(column(0), (QStringList{"3", "1"}));
    EXPECT_TRUE(table->isColumnHidden(4));

    // A title typed in its cell is kept in the record.
    table->model()->setData(table->model()->index(1, 3), QStringLiteral(" Fractions "));
    view.Reload();
    EXPECT_EQ(column(3), (QStringList{"", "Fractions"}));

    // Lesson 3 (chosen: the newest) to the bin and back, then into it again.
    ASSERT_TRUE(view.BinChosenLesson());
    EXPECT_EQ(column(0), QStringList{"1"});
    EXPECT_EQ(filter->itemText(filter->count() - 1),
              FormatMessage(MessageTexts[MessageKey::HistoryBinEntry], {"1"}));
    ASSERT_TRUE(view.ListBin());
    EXPECT_EQ(column(0), QStringList{"3"});
    EXPECT_FALSE(view.findChild<QWidget *>(QStringLiteral("btnEmptyBin"))->isHidden());
    ASSERT_TRUE(view.BinChosenLesson()); // restores it
    ASSERT_TRUE(view.ListAllClasses());
    EXPECT_EQ(column(0), (QStringList{"3", "2", "1"}));
    ASSERT_TRUE(view.BinChosenLesson());

    // Emptying asks first: no, then yes.
    bool answer = false;
    int asked = 0;
    const PromptResponder previous =
        SetPromptResponder([&](const QString &, const QString &text, bool withCancel) {
            ++asked;
            EXPECT_TRUE(withCancel);
            EXPECT_EQ(text, FormatMessage(MessageTexts[MessageKey::HistoryEmptyBinAsk], {"1"}));
            return answer;
        });
    EXPECT_FALSE(view.EmptyBin());
    answer = true;
    EXPECT_TRUE(view.EmptyBin());
    SetPromptResponder(previous);
    EXPECT_EQ(asked, 2);
    EXPECT_FALSE(view.EmptyBin()); // nothing left to ask about
    ASSERT_TRUE(view.ListAllClasses());
    EXPECT_EQ(column(0), (QStringList{"2", "1"}));
}

// The term of the fixture's (unnamed) class: read away from the window, its
// gradebook shown, exported; days without its lesson show none.
TEST(HistoryTerm, ShowsTheClassesGradebookAndExportsIt) {
    const LessonFixture lesson;
    QWidget area;
    area.resize(1173, 707);
    THistoryView view(lesson.DataDir(), &area);
    area.show();
    view.Reload();
    TTermPage *term = view.TermPage();
    QSignalSpy loaded(term, &TTermPage::Loaded);
    term->SetRange({QDate::currentDate().addDays(-1), QDate::currentDate().addDays(1)});
    view.ShowTerm();
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_TRUE(loaded.last().at(0).toBool());
    ASSERT_NE(term->Shown(), nullptr);
    EXPECT_EQ(term->Shown()->lessons, 1);
    const QAbstractItemModel *table =
        view.findChild<QTableView *>(QStringLiteral("tblTerm"))->model();
    // Seat, name, tablet, the three questions, then total, possible, percent,
    // attended and held.
    ASSERT_EQ(table->columnCount(), 11);
    ASSERT_EQ(table->rowCount(), 3);
    // An untitled lesson by its number in the teacher's language.
    EXPECT_TRUE(table->headerData(3, Qt::Horizontal)
                    .toString()
                    .contains(FormatMessage(MessageTexts[MessageKey::TermLesson], {"1"})));
    EXPECT_EQ(table->headerData(9, Qt::Horizontal).toString(),
              MessageTexts[MessageKey::TermAttended]);
    QStringList names;
    for (int row = 0; row < 3; ++row) {
        names << table->index(row, 1).data().toString();
    }
    EXPECT_EQ(names, (QStringList{U("张三"), QStringLiteral("Li, Mei"), QStringLiteral("=cmd")}));
    EXPECT_EQ(table->index(0, 3).data().toString(), QStringLiteral("1")); // 张三: B right

    QTemporaryDir out;
    const QString path = out.filePath(QStringLiteral("term"));
    const SaveFileResponder previousSave =
        SetSaveFileResponder([&](const QString &, const QString &offered) {
            EXPECT_TRUE(offered.endsWith(QStringLiteral(".xlsx"))) << offered.toStdString();
            return path;
        });
    QStringList prompts;
    const PromptResponder previousPrompt =
        SetPromptResponder([&](const QString &, const QString &text, bool) {
            prompts << text;
            return true;
        });
    QSignalSpy exported(term, &TTermPage::ExportFinished);
    term->Export(ExportFormat::Xlsx);
    ASSERT_TRUE(exported.wait(10000));
    SetPromptResponder(previousPrompt);
    SetSaveFileResponder(previousSave);
    EXPECT_TRUE(exported.last().at(0).toBool()) << prompts.join(u'|').toStdString();
    EXPECT_GT(QFileInfo(path + QStringLiteral(".xlsx")).size(), 1000);

    term->SetRange({QDate(2001, 1, 1), QDate(2001, 6, 30)});
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_EQ(term->Shown()->lessons, 0);
    EXPECT_TRUE(view.findChild<QLabel *>(QStringLiteral("lblTerm"))
                    ->text()
                    .endsWith(MessageTexts[MessageKey::TermNoLessons]));
}

INSTANTIATE_TEST_SUITE_P(Languages, HistoryHeadings,
                         ::testing::Values(HeadingCase{"zh_CN", {1173, 707}, true},
                                           HeadingCase{"en_US", {1173, 707}, true},
                                           HeadingCase{"zh_CN", {831, 707}, true},
                                           HeadingCase{"en_US", {831, 707}, true},
                                           HeadingCase{"zh_CN", {607, 539}, false},
                                           HeadingCase{"en_US", {607, 539}, false}));

} // namespace
} // namespace lumora::test
