// The lesson record of the main window: a replayed class answering a choice
// question and writing on a subjective one leaves its rows, presses and
// pictures; the history view shows the lesson and exports it; a record that
// cannot be used is told once and the lesson goes on.
#include "support/DialogTest.h"
#include "support/WindowTest.h"

#include "HistoryWindow.h"
#include "controls/SkinButton.h"
#include "core/MessageTexts.h"
#include "penlynx.h"
#include "record/Recorder.h"
#include "session/DeviceBridge.h"
#include "views/HistoryView.h"
#include "views/ResultChart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>

namespace lumora::test {
namespace {

constexpr uint32_t A = 1u << 1, B = 1u << 2, C = 1u << 3;

// Presses and strokes as the reader thread would deliver them.
void Press(uint16_t tablet, std::initializer_list<uint16_t> keys) {
    for (uint16_t key : keys) {
        TabletEventHandler(key, 256, tablet, EVENT_KEY);
    }
    QCoreApplication::sendPostedEvents();
}

void Write(uint16_t tablet, QPoint from, QPoint to) {
    const std::vector<QPoint> points = Line(from, to);
    for (const QPoint &p : points) {
        TabletEventHandler(static_cast<uint16_t>(p.x()), static_cast<uint16_t>(p.y()), tablet,
                           EVENT_PEN_DOWN);
    }
    TabletEventHandler(0, 0, tablet, EVENT_PEN_UP);
    QCoreApplication::sendPostedEvents();
}

DialogResponder AnswerB() {
    return [](TFrmSetName &dialog) {
        Type(dialog, "edtName", QStringLiteral("B"));
        Click(dialog, "btn1");
    };
}

// The texts of a table's first columns, row by row.
std::vector<QStringList> Texts(const QTableView *table, int columns) {
    std::vector<QStringList> rows(static_cast<size_t>(table->model()->rowCount()));
    for (size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            rows[row] << table->model()->index(static_cast<int>(row), column).data().toString();
        }
    }
    return rows;
}

class Record : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        WriteConfig(2, 2, 4);
        WriteRoster({{"Ann", 21}, {"Ben", 22}, {"Cai", 23}, {"Dan", 24}});
    }
    QString Db() const { return DataPath(QStringLiteral("Records/lessons.db")); }
    // Waits until everything handed to the record (the pictures posted behind
    // the ink included) is committed.
    bool WaitUntilRecorded() {
        QCoreApplication::sendPostedEvents();
        const Recorder &recorder = *window_->LessonRecorder();
        return WaitFor([&] {
            const RecorderCounters c = recorder.Counters();
            return c.recorded + c.dropped >= c.queued;
        });
    }
    std::vector<QVariantList> Query(const QString &sql) const { return RecordRows(Db(), sql); }
};

TEST_F(Record, AReplayedClassLeavesItsAnswersPressesAndPictures) {
    const std::vector<QPoint> upper = Line({1000, 800}, {2000, 800});
    const std::vector<QPoint> lower = Line({1000, 1500}, {2000, 1500});
    UseReplay(ReplayScript()
                  .Wait(800)
                  .Keys(21, {2})
                  .Keys(22, {1, 3})
                  .Keys(23, {2})
                  .Keys(23, {ReplayScript::kClearCode})
                  .Keys(99, {1}) // a tablet nobody holds
                  .Wait(50)
                  .Keys(24, {2}) // last: once it shows, everything before it is handled
                  .Wait(2500)
                  .Stroke(21, upper)
                  .Stroke(23, lower)
                  .Keys(23, {ReplayScript::kClearCode})
                  .Wait(50)
                  .Stroke(22, upper)
                  .Wait(60000));
    DialogAnswer answer(AnswerB());
    TFrmMain &w = Start();
    Choose("SingleChoice");
    Choose("NotStarted");
    Choose("UnderWay");
    ASSERT_TRUE(WaitFor([&] { return w.Table()[3].Answer.load() == B; }))
        << "the last key never arrived";
    Choose("AlreadyOver");
    Choose("EssayQuestion");
    Choose("NotStarted");
    Choose("UnderWay");
    ASSERT_TRUE(WaitFor([&] { return !w.LiveGrid->GetTile(1)->InkImage()->isNull(); }))
        << "the last stroke never arrived";
    Choose("AlreadyOver");
    ASSERT_TRUE(WaitUntilRecorded());

    EXPECT_EQ(Query("SELECT number, type, answer_key, ended_at IS NOT NULL FROM question "
                    "ORDER BY number"),
              (std::vector<QVariantList>{{1, 0, "B", 1}, {2, 2, "", 1}}));
    EXPECT_EQ(Query("SELECT s.seat, s.name, s.letters, s.correct FROM student s JOIN question q "
                    "ON q.id = s.question WHERE q.number = 1 ORDER BY s.seat"),
              (std::vector<QVariantList>{
                  {1, "Ann", "B", 1}, {2, "Ben", "C", 0}, {3, "Cai", "", 0}, {4, "Dan", "B", 1}}));
    // Every press in order, the clear key too, at times that never go back.
    const QString presses = QStringLiteral(
        "SELECT s.seat, p.key, p.answer FROM press p JOIN student s ON s.id = p.student "
        "JOIN question q ON q.id = s.question WHERE q.number = %1 ORDER BY s.seat, p.id");
    EXPECT_EQ(Query(presses.arg(1)),
              (std::vector<QVariantList>{
                  {1, 2, B}, {2, 1, A}, {2, 3, C}, {3, 2, B}, {3, 9, 0}, {4, 2, B}}));
    EXPECT_EQ(Query(presses.arg(2)), (std::vector<QVariantList>{{3, 9, 0}}));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM press p JOIN press l ON l.student = p.student "
                    "AND l.id > p.id WHERE l.ms < p.ms OR p.ms < 0"),
              (std::vector<QVariantList>{{0}}));
    EXPECT_EQ(Query("SELECT DISTINCT s.seat FROM pen_stroke p JOIN student s ON s.id = p.student "
                    "ORDER BY s.seat"),
              (std::vector<QVariantList>{{1}, {2}, {3}}));
    EXPECT_EQ(Query("SELECT tablet_id FROM unknown_tablet"), (std::vector<QVariantList>{{99}}));

    // One picture per student who wrote: exactly the pane's ink, white where
    // it was wiped; none for the student who never wrote.
    const std::vector<QVariantList> pictures =
        Query("SELECT s.seat, p.path FROM picture p JOIN student s ON s.id = p.student "
              "ORDER BY s.seat");
    ASSERT_EQ(pictures.size(), 3u);
    for (const QVariantList &row : pictures) {
        const int seat = row[0].toInt();
        EXPECT_EQ(row[1].toString(), QStringLiteral("1/q2-seat%1.png").arg(seat));
        const QImage saved(DataPath(QStringLiteral("Records/") + row[1].toString()));
        ASSERT_EQ(saved.size(), QSize(InkWidth, InkHeight)) << seat;
        const QImage *pane = w.LiveGrid->GetTile(seat - 1)->InkImage();
        if (seat == 3) {
            EXPECT_TRUE(pane->isNull());
            EXPECT_EQ(InkPixels(saved.convertToFormat(QImage::Format_RGB32)), 0);
        } else {
            EXPECT_EQ(saved.convertToFormat(QImage::Format_Grayscale8), *pane) << seat;
            EXPECT_GT(InkPixels(saved.convertToFormat(QImage::Format_RGB32)), 20) << seat;
        }
    }
}

// A lesson recorded through the window: a single choice (key B) answered by
// three of four students, then two of them writing.
class History : public Record {
protected:
    TFrmMain &RecordLesson() {
        UseReplay(ReplayScript().Wait(60000));
        DialogAnswer answer(AnswerB());
        TFrmMain &w = Start();
        Choose("SingleChoice");
        Choose("NotStarted");
        Choose("UnderWay");
        Press(21, {2});
        Press(22, {1});
        Press(23, {3, 2});
        Choose("AlreadyOver");
        Choose("EssayQuestion");
        Choose("NotStarted");
        Choose("UnderWay");
        Write(21, {1000, 800}, {2000, 800});
        Write(22, {1000, 1500}, {2000, 1500});
        Choose("AlreadyOver");
        EXPECT_TRUE(WaitUntilRecorded());
        Choose("LessonHistory");
        QCoreApplication::processEvents(); // the view area's new size (no side bar)
        return w;
    }
    THistoryView &View() const { return *window_->History(); }
    QTableView *Table(const char *name) const { return Control<QTableView>(name); }
};

TEST_F(History, ShowsTheLessonItsQuestionsAndOpensAPictureLarge) {
    TFrmMain &w = RecordLesson();
    EXPECT_FALSE(Control<QWidget>("pnlHistory")->isHidden());
    EXPECT_TRUE(ShownViews().isEmpty());
    EXPECT_TRUE(MarkedItems().contains(QStringLiteral("LessonHistory")));

    const std::vector<QStringList> lessons = Texts(Table("tblLessons"), 4);
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_EQ((QStringList{lessons[0][0], lessons[0][2]}), (QStringList{"1", "2"}));
    QTableView *questions = Table("tblQuestions");
    EXPECT_EQ(Texts(questions, 3),
              (std::vector<QStringList>{{"1", "单选题", "B"}, {"2", "主观题", ""}}));
    questions->setCurrentIndex(questions->model()->index(0, 0));
    QTableView *students = Table("tblStudents");
    const QString right = MessageTexts[MessageKey::HistoryRight];
    const QString wrong = MessageTexts[MessageKey::HistoryWrong];
    EXPECT_EQ(Texts(students, 4), (std::vector<QStringList>{{"Ann", "1", "B", right},
                                                            {"Ben", "2", "A", wrong},
                                                            {"Cai", "3", "B", right},
                                                            {"Dan", "4", "", wrong}}));
    // Seconds to the first press, for those who pressed.
    bool number = false;
    EXPECT_GE(students->model()->index(2, 4).data().toString().toDouble(&number), 0.0);
    EXPECT_TRUE(number);
    EXPECT_TRUE(students->model()->index(3, 4).data().toString().isEmpty());
    const auto *chart = Control<TResultChart>("chtHistory");
    EXPECT_EQ(chart->BarLabels(),
              (QStringList{"B  2", "A  1", MessageTexts[MessageKey::Tip1] + "  1"}));
    EXPECT_EQ(chart->BarValues(), (std::vector<int>{2, 1, 1}));
    Shot(&w, QStringLiteral("history-choice"));

    questions->setCurrentIndex(questions->model()->index(1, 0));
    auto *list = Control<QListView>("lstPictures");
    ASSERT_EQ(list->model()->rowCount(), 2);
    ASSERT_TRUE(WaitFor([&] { return View().PicturesLoaded(); }));
    for (int row = 0; row < 2; ++row) {
        const QIcon icon = list->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>();
        EXPECT_GT(
            InkPixels(
                icon.pixmap(list->iconSize()).toImage().convertToFormat(QImage::Format_RGB32)),
            40)
            << "thumbnail " << row;
    }
    EXPECT_TRUE(students->isColumnHidden(2)); // no letters for handwriting
    Shot(&w, QStringLiteral("history-pictures"));

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    auto *large = Control<QWidget>("pnlPictureLarge");
    ASSERT_TRUE(large->isVisible());
    // Ben's line, large: far more ink than its thumbnail.
    EXPECT_GT(InkPixels(large->grab().toImage().convertToFormat(QImage::Format_RGB32),
                        large->rect().adjusted(60, 80, -60, -80)),
              1000);
    Shot(&w, QStringLiteral("history-picture-large"));
    QTest::keyClick(large, Qt::Key_Escape);
    EXPECT_FALSE(large->isVisible());

    // Another view hides the history; a question type does too.
    Choose("MainInterface");
    EXPECT_TRUE(Control<QWidget>("pnlHistory")->isHidden());
    EXPECT_EQ(ShownViews(), QStringList{"SeatGrid"});
}

// Lumora --history: the same record in a window of its own, beside the
// program that is still recording.
TEST_F(History, TheHistoryWindowReadsTheRecordBesideTheRunningProgram) {
    RecordLesson();
    TFrmHistory history(Dir());
    EXPECT_TRUE(history.windowTitle().endsWith(MessageTexts[MessageKey::LessonHistory]));
    auto *lessons = history.findChild<QTableView *>(u"tblLessons"_qs);
    ASSERT_NE(lessons, nullptr);
    const std::vector<QStringList> rows = Texts(lessons, 4);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][2], u"2"_qs);
    EXPECT_EQ(Texts(history.findChild<QTableView *>(u"tblQuestions"_qs), 2),
              (std::vector<QStringList>{{"1", "单选题"}, {"2", "主观题"}}));
}

struct ExportCase {
    const char *name;
    const char *button;
    const char *file; // in the data folder; empty: the dialog is cancelled
    bool ok;
};

class Export : public History, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(Export, AsksForTheFileWritesItAwayFromTheWindowAndSaysHowItWent) {
    const ExportCase &c = GetParam();
    const bool csv = QLatin1String(c.button).endsWith(QLatin1String("Csv"));
    RecordLesson();
    const QString path = QString::fromLatin1(c.file).isEmpty() ? QString() : DataPath(c.file);
    QString suggested;
    const SaveFileResponder previous =
        SetSaveFileResponder([&](const QString &, const QString &offered) {
            suggested = offered;
            return path;
        });
    PromptRecorder prompts;
    QSignalSpy finished(&View(), &THistoryView::ExportFinished);
    Control<TImageButton>(c.button)->Click();
    SetSaveFileResponder(previous);
    // In the teacher's documents, named after the day and the lesson.
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(QFileInfo(suggested).path(),
              QFileInfo(documents).isDir() ? documents : QDir::homePath());
    const QRegularExpression name(csv ? u"^\\d{4}-\\d\\d-\\d\\d 第1节课\\.csv$"_qs
                                      : u"^\\d{4}-\\d\\d-\\d\\d 第1节课\\.xlsx$"_qs);
    EXPECT_TRUE(name.match(QFileInfo(suggested).fileName()).hasMatch()) << suggested.toStdString();
    if (path.isEmpty()) { // cancelled
        EXPECT_TRUE(!View().Exporting() && prompts.Prompts().empty());
        return;
    }
    // Busy until the worker is done: the window keeps running meanwhile.
    EXPECT_FALSE(Control<QProgressBar>("prgExport")->isHidden());
    EXPECT_FALSE(Control<TImageButton>("btnExportCsv")->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return finished.count() == 1; }));
    EXPECT_EQ(finished.at(0).at(0).toBool(), c.ok);
    EXPECT_TRUE(Control<QProgressBar>("prgExport")->isHidden());
    EXPECT_TRUE(Control<TImageButton>("btnExportCsv")->isEnabled());
    ASSERT_EQ(prompts.Prompts().size(), 1u);
    // Where the files went, or why they could not be written.
    const QString said = prompts.Prompts()[0].Text;
    const MessageKey told = c.ok ? MessageKey::ExportDone : MessageKey::ExportFailed;
    EXPECT_TRUE(said.startsWith(MessageTexts[told].section(u'%', 0, 0))) << said.toStdString();
    QFile file(path);
    ASSERT_EQ(file.open(QIODevice::ReadOnly), c.ok);
    if (c.ok) {
        EXPECT_TRUE(said.contains(QDir::toNativeSeparators(path))) << said.toStdString();
        const QByteArray bytes = file.readAll();
        // A workbook is a zip; CSV is UTF-8 with a byte order mark, presses beside it.
        EXPECT_TRUE(csv ? bytes.startsWith("\xEF\xBB\xBF") && bytes.contains("Ann")
                        : bytes.startsWith("PK"));
        EXPECT_EQ(QFile::exists(DataPath("lesson-presses.csv")), csv);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, Export,
    ::testing::Values(ExportCase{"Csv", "btnExportCsv", "lesson.csv", true},
                      ExportCase{"Xlsx", "btnExportXlsx", "lesson.xlsx", true},
                      ExportCase{"NoFolder", "btnExportXlsx", "no-such-folder/lesson.xlsx", false},
                      ExportCase{"Cancelled", "btnExportCsv", "", false}),
    [](const ::testing::TestParamInfo<ExportCase> &info) { return std::string(info.param.name); });

// Records/lessons.db holds a teacher's notes: they are kept aside under a new
// name, the teacher is told once, and the lesson goes on into a fresh record.
TEST_F(Record, ADamagedRecordIsToldOnceAndTheLessonGoesOn) {
    QDir().mkpath(DataPath("Records"));
    WriteTextFile(Db(), QStringLiteral("a teacher's notes, not a database"));
    UseReplay(ReplayScript().Wait(60000));
    PromptRecorder prompts;
    DialogAnswer answer(AnswerB());
    TFrmMain &w = Start();
    ASSERT_TRUE(WaitFor([&] { return !prompts.Prompts().empty(); }));
    EXPECT_EQ(prompts.Prompts()[0].Title, MessageTexts[MessageKey::RecordTitle]);
    EXPECT_TRUE(prompts.Prompts()[0].Text.startsWith(MessageTexts[MessageKey::RecordError1]));
    Choose("SingleChoice");
    Choose("UnderWay");
    Press(21, {2});
    Press(22, {1});
    EXPECT_EQ(w.AnswerGrid->GetTile(0)->AnswerText(), QStringLiteral("B"));
    Choose("AlreadyOver");
    EXPECT_EQ(w.Chart()->BarValues(), (std::vector<int>{1, 1, 2}));
    ASSERT_TRUE(WaitUntilRecorded());
    QTest::qWait(300); // a few ticks of the writer
    EXPECT_EQ(prompts.Prompts().size(), 1u);
    EXPECT_EQ(Query("SELECT COUNT(*) FROM student WHERE letters <> ''"),
              (std::vector<QVariantList>{{2}}));
    EXPECT_EQ(
        QDir(DataPath("Records")).entryList({u"lessons.unusable-*.db"_qs}, QDir::Files).size(), 1);
}

} // namespace
} // namespace lumora::test
