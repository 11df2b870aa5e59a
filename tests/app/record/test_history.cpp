// The history's queries over a recorded lesson, also while the writer works.
#include "record/LessonHistory.h"

#include "LessonFixture.h"
#include "RecordTest.h"
#include "record/LessonAnalysis.h"
#include "record/LessonExport.h"
#include "record/PenStroke.h"
#include "record/RecordDatabase.h"
#include "record/Recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <thread>

namespace lumora {
namespace {

using test::U;

TEST(LessonHistory, ListsLessonsQuestionsAndStudents) {
    test::LessonFixture lesson;
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(lesson.DataDir(), &error)) << error.toStdString();

    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons && lessons->size() == 1u);
    EXPECT_EQ(lessons->at(0).number, 1);
    EXPECT_EQ(lessons->at(0).questionCount, 3);
    EXPECT_FALSE(lessons->at(0).endedAt.isEmpty());

    const auto questions = history.Questions(1);
    ASSERT_TRUE(questions && questions->size() == 3u);
    EXPECT_EQ(questions->at(1).type, 1);
    EXPECT_EQ(questions->at(1).answerKey, QStringLiteral("AC"));
    EXPECT_TRUE(history.Questions(2)->empty());

    const auto students = history.Students(1, 1);
    ASSERT_TRUE(students && students->size() == 3u);
    EXPECT_EQ(students->at(0).name, U("张三"));
    EXPECT_EQ(students->at(0).letters, QStringLiteral("B"));
    EXPECT_EQ(students->at(0).correct, std::optional<bool>(true));
    ASSERT_TRUE(students->at(0).firstPressMs.has_value());
    EXPECT_GE(*students->at(0).firstPressMs, 0);
    EXPECT_EQ(students->at(1).correct, std::optional<bool>(false));
    EXPECT_EQ(students->at(2).firstPressMs, std::nullopt); // pressed nothing
    EXPECT_EQ(history.Students(1, 3)->at(1).correct, std::nullopt);

    const auto pictures = history.Pictures(1, 3);
    ASSERT_TRUE(pictures && pictures->size() == 1u);
    EXPECT_EQ(pictures->at(0).seat, 2);
    EXPECT_EQ(QImage(pictures->at(0).path).pixel(3, 4), qRgb(10, 20, 30));
    EXPECT_TRUE(history.Pictures(1, 1)->empty());

    const auto tablets = history.UnknownTablets(1);
    ASSERT_TRUE(tablets && tablets->size() == 1u);
    EXPECT_EQ(tablets->at(0).tabletId, 500);
}

// A picture path of a damaged or foreign record never leads out of the
// Records folder.
TEST(LessonHistory, PicturePathsStayInTheRecordsFolder) {
    test::LessonFixture lesson;
    const QString records = QDir::cleanPath(RecordsFolder(lesson.DataDir()));
    const std::pair<const char *, QString> cases[] = {
        {"../Config.ini", QString()},
        {"1/../../Config.ini", QString()},
        {"/etc/passwd", records + "/etc/passwd"},
        {"1/./q3-seat2.png", records + "/1/q3-seat2.png"},
    };
    for (const auto &[stored, shown] : cases) {
        test::RawExec(RecordDatabasePath(lesson.DataDir()),
                      {QStringLiteral("UPDATE picture SET path = '%1'").arg(stored)});
        LessonHistory history;
        QString error;
        ASSERT_TRUE(history.Open(lesson.DataDir(), &error));
        const auto pictures = history.Pictures(1, 3);
        ASSERT_TRUE(pictures) << stored;
        EXPECT_EQ(pictures->empty() ? QString() : pictures->at(0).path, shown) << stored;
    }
}

// The history's bars are the live chart's: the same count over the same
// answers gives the same bars.
TEST(LessonHistory, BarsAreCountedLikeTheLiveChart) {
    test::LessonFixture lesson;
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(lesson.DataDir(), &error));
    SlotTable table;
    test::FillTable(table, {{"张三", 11}, {"Li, Mei", 12}, {"=cmd", 13}, {"", 14}});
    const uint32_t answers[] = {(1u << 1) | (1u << 3), 1u << 1, (1u << 1) | (1u << 3), 1u << 1};
    for (int i = 0; i < 4; ++i) {
        table[i].Answer = answers[i];
    }
    const Statistics live = BuildStatistics(table, QStringLiteral("AC"), U("未选择"));
    const auto recorded = history.Bars(1, 2, U("未选择"));
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->total, live.total);
    ASSERT_EQ(recorded->bars.size(), live.bars.size());
    for (size_t i = 0; i < live.bars.size(); ++i) {
        EXPECT_EQ(recorded->bars[i].label, live.bars[i].label);
        EXPECT_EQ(recorded->bars[i].kind, live.bars[i].kind);
    }
    const auto first = history.Bars(1, 1, U("未选择"));
    ASSERT_TRUE(first);
    ASSERT_EQ(first->bars.size(), 2u); // B 1 (correct), no answer 2
    EXPECT_EQ(first->bars[1].label, U("未选择  2"));
    EXPECT_TRUE(history.Bars(1, 3, U("x"))->bars.empty()); // subjective: no chart
    EXPECT_TRUE(history.Bars(1, 9, U("x"))->bars.empty());
}

TEST(LessonHistory, SeesWhatTheWriterCommittedWhileItRuns) {
    test::DataDir dir;
    SlotTable table;
    test::FillTable(table, {{"a", 1}});
    Recorder recorder(dir.Path());
    recorder.Start();
    recorder.QuestionStarted(0, QStringLiteral("A"), table);
    ASSERT_TRUE(test::WaitForCommits(recorder, 1));
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(dir.Path(), &error)) << error.toStdString();
    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons && lessons->size() == 1u);
    EXPECT_EQ(lessons->at(0).questionCount, 1);
    EXPECT_TRUE(lessons->at(0).endedAt.isEmpty()); // still running
    recorder.KeyPressed(0, 1, 2);
    recorder.Stop();
    EXPECT_EQ(history.Students(1, 1)->at(0).letters, QStringLiteral("A"));
}

TEST(PenStroke, PacksPointsInOrderAndClampsWhatDoesNotFit) {
    QByteArray points;
    AppendPenPoint(points, 0, 0, 0);
    AppendPenPoint(points, 1234567, -50, 65486);     // y beyond 16 bits
    AppendPenPoint(points, -5, -40000, 32767);       // a time before the start
    AppendPenPoint(points, int64_t(1) << 40, 7, -7); // beyond 32 bits
    ASSERT_EQ(points.size(), 4 * kPenPointBytes);
    const std::vector<PenSample> expected = {{0, 0, 0, true},
                                             {1234567, -50, 32767, true},
                                             {0, -32768, 32767, true},
                                             {std::numeric_limits<int>::max(), 7, -7, true}};
    EXPECT_EQ(UnpackPenPoints(points), expected);
    EXPECT_EQ(UnpackPenPoints(points + QByteArray("abc")), expected); // partial point ignored
    EXPECT_EQ(points.left(8), QByteArray(8, '\0'));
    EXPECT_EQ(points.mid(8, 4), QByteArray("\x87\xD6\x12\x00", 4)); // little-endian 1234567
}

TEST(LessonHistory, RefusesAMissingOrBrokenRecord) {
    test::DataDir dir;
    LessonHistory history;
    QString error;
    EXPECT_FALSE(history.Open(dir.Path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("no lesson record"))) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.File("Records/lessons.db"))); // never created by reading
    dir.Write("Records/lessons.db", "not a database at all");
    EXPECT_FALSE(history.Open(dir.Path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("not a SQLite database"))) << error.toStdString();
}

// A newer version's record is shown as far as its tables allow, read-only:
// its version stays as it was.
TEST(LessonHistory, GradesHandwritingAndTheAnalysisAndGradebookCountThem) {
    test::LessonFixture lesson;
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(lesson.DataDir(), &error)) << error.toStdString();
    // Li Mei (seat 2) wrote on question 3; =cmd (seat 3) did not, but can be
    // graded all the same.
    struct Grade {
        int question;
        int seat;
        std::optional<double> points;
        bool taken;
    };
    const Grade grades[] = {
        {3, 2, 0.5, true},
        {3, 3, 0, true},
        {3, 2, std::nullopt, true}, // taken back
        {3, 2, 1, true},
        {1, 1, 1, false}, // a choice question has no grades
        {3, 9, 1, false}, // no such seat
        {3, 2, -1, false},
        {3, 2, std::numeric_limits<double>::quiet_NaN(), false},
    };
    for (const Grade &g : grades) {
        EXPECT_EQ(history.SetGrade(1, g.question, g.seat, g.points), g.taken)
            << g.question << " " << g.seat;
    }
    const auto students = history.Students(1, 3);
    ASSERT_TRUE(students && students->size() == 3u);
    EXPECT_EQ(students->at(0).grade, std::nullopt);
    EXPECT_EQ(students->at(1).grade, std::optional<double>(1));
    EXPECT_EQ(students->at(2).grade, std::optional<double>(0));
    EXPECT_EQ(history.Pictures(1, 3)->at(0).grade, std::optional<double>(1));

    // The graded question becomes the third item, scored for the two graded.
    const auto analysis = AnalyseLesson(history, 1);
    ASSERT_TRUE(analysis.has_value());
    ASSERT_EQ(analysis->Questions.size(), 3u);
    EXPECT_EQ(analysis->Questions[2].number, 3);
    EXPECT_EQ(analysis->Statistics.PerItem[2].Scored, 2);
    EXPECT_EQ(analysis->Statistics.PerItem[2].Difficulty, std::optional<double>(0.5));

    // In the gradebook the grade is a number, a full one counting as right.
    const auto sheets = BuildLessonExport(history, 1, &error);
    ASSERT_TRUE(sheets.has_value()) << error.toStdString();
    const ExportCell &graded = sheets->gradebook.rows[4][4]; // Li Mei, question 3
    EXPECT_EQ(graded.kind, ExportCell::Kind::Number);
    EXPECT_EQ(graded.number, 1);
    EXPECT_EQ(sheets->gradebook.rows[4][5].number, 1); // her one right answer
}

TEST(LessonHistory, AttendanceTellsPresentSilentAndAbsent) {
    test::DataDir dir;
    SlotTable table;
    test::FillTable(table, {{"Ann", 11}, {"Ben", 12}, {"Cai", 13}, {"Dee", 14}});
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.TabletHeard(0, 11); // heard, and answers
        recorder.TabletHeard(1, 12); // heard, never answers
        recorder.TabletHeard(3, 99); // another tablet once held the entry
        recorder.QuestionStarted(0, QStringLiteral("B"), table);
        recorder.KeyPressed(0, 2, 1u << 2);
        table[0].Answer = 1u << 2;
        std::this_thread::sleep_for(std::chrono::milliseconds(5)); // times kept in ms
        recorder.TabletHeard(0, 11);
        recorder.QuestionEnded(0, QStringLiteral("B"), table);
        recorder.Stop();
    }
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(dir.Path(), &error)) << error.toStdString();
    const auto attendance = history.Attendance(1);
    ASSERT_TRUE(attendance && attendance->size() == 4u);
    using Status = AttendanceInfo::Status;
    const Status expected[] = {Status::Present, Status::Silent, Status::Absent, Status::Absent};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(attendance->at(i).seat, static_cast<int>(i) + 1);
        EXPECT_EQ(attendance->at(i).status(), expected[i]) << attendance->at(i).name.toStdString();
    }
    // Heard before the question started and again during it.
    EXPECT_LT(attendance->at(0).firstHeard, attendance->at(0).lastHeard);
    EXPECT_TRUE(history.Attendance(2)->empty());
}

// A lesson holds one class: a question of another class starts the next
// lesson, while a rename keeps the lesson and takes the new name.
TEST(LessonHistory, EveryLessonIsTaggedWithItsClass) {
    test::DataDir dir;
    SlotTable table;
    test::FillTable(table, {{"Ann", 11}});
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.SetClass(QStringLiteral("7a"), QStringLiteral("7A"));
        recorder.QuestionStarted(0, QStringLiteral("B"), table);
        recorder.QuestionEnded(0, QStringLiteral("B"), table);
        recorder.SetClass(QStringLiteral("7a"), QStringLiteral("7A maths"));
        recorder.QuestionStarted(0, QStringLiteral("C"), table);
        recorder.QuestionEnded(0, QStringLiteral("C"), table);
        recorder.SetClass(QStringLiteral("8b"), QStringLiteral("8B"));
        recorder.QuestionStarted(1, QStringLiteral("AB"), table);
        recorder.QuestionEnded(1, QStringLiteral("AB"), table);
        recorder.SetClass(QString(), QString());
        recorder.QuestionStarted(0, QStringLiteral("A"), table);
        recorder.Stop();
    }
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(dir.Path(), &error)) << error.toStdString();
    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons && lessons->size() == 3u);
    const struct {
        const char *file;
        const char *name;
        int questions;
    } expected[] = {{"7a", "7A maths", 2}, {"8b", "8B", 1}, {"", "", 1}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lessons->at(i).classFile, QString::fromUtf8(expected[i].file)) << i;
        EXPECT_EQ(lessons->at(i).className, QString::fromUtf8(expected[i].name)) << i;
        EXPECT_EQ(lessons->at(i).questionCount, expected[i].questions) << i;
    }
    // The switch ended the earlier lessons where the next began.
    EXPECT_EQ(lessons->at(0).endedAt, lessons->at(1).startedAt);
    EXPECT_FALSE(lessons->at(2).endedAt.isEmpty());
    const auto classes = history.Classes();
    ASSERT_TRUE(classes && classes->size() == 3u);
    EXPECT_EQ(classes->at(0).file, QString()); // the unnamed class sorts first
    EXPECT_EQ(classes->at(1).name, QStringLiteral("7A maths"));
    EXPECT_EQ(classes->at(2).lessons, 1);
}

TEST(LessonHistory, TitlesAndTheBinKeepALessonUntilTheBinIsEmptied) {
    test::LessonFixture lesson;
    {
        // A second lesson, still under way: it never goes to the bin.
        SlotTable table;
        test::FillTable(table, {{"Ann", 11}});
        Recorder recorder(lesson.DataDir());
        recorder.Start();
        recorder.QuestionStarted(0, QStringLiteral("B"), table);
        recorder.QuestionEnded(0, QStringLiteral("B"), table);
    }
    QString error;
    {
        RecordConnection connection;
        ASSERT_TRUE(connection.Open(RecordDatabasePath(lesson.DataDir()), false, &error));
        QSqlQuery update(connection.Database());
        ASSERT_TRUE(
            update.exec(QStringLiteral("UPDATE lesson SET ended_at = NULL WHERE number = 2")));
    }
    LessonHistory history;
    ASSERT_TRUE(history.Open(lesson.DataDir(), &error)) << error.toStdString();
    EXPECT_TRUE(history.SetTitle(1, QStringLiteral("  Fractions  ")));
    EXPECT_FALSE(history.SetTitle(9, QStringLiteral("none")));
    EXPECT_EQ(history.Lessons()->at(0).title, QStringLiteral("Fractions"));

    const QString pictures = QFileInfo(history.Pictures(1, 3)->at(0).path).absolutePath();
    EXPECT_FALSE(history.MoveToBin(2, QStringLiteral("2026-12-09T08:00:00+08:00")));
    ASSERT_TRUE(history.MoveToBin(1, QStringLiteral("2026-12-09T08:00:00+08:00")));
    EXPECT_EQ(history.Lessons()->at(0).deletedAt, QStringLiteral("2026-12-09T08:00:00+08:00"));
    EXPECT_EQ(history.Classes()->at(0).lessons, 1); // the bin's lesson is not counted
    ASSERT_TRUE(history.RestoreFromBin(1));
    EXPECT_TRUE(history.Lessons()->at(0).deletedAt.isEmpty());
    EXPECT_TRUE(QFileInfo::exists(pictures));

    ASSERT_TRUE(history.MoveToBin(1, QStringLiteral("2026-12-09T08:00:00+08:00")));
    int removed = 0;
    ASSERT_TRUE(history.EmptyBin(&removed)) << history.Error().toStdString();
    EXPECT_EQ(removed, 1);
    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons && lessons->size() == 1u);
    EXPECT_EQ(lessons->at(0).number, 2);
    EXPECT_FALSE(QFileInfo::exists(pictures));
    EXPECT_TRUE(history.Questions(1)->empty());
}

TEST(LessonHistory, ReadsANewerVersionsRecordWithoutChangingIt) {
    test::LessonFixture lesson;
    const QString db = RecordDatabasePath(lesson.DataDir());
    test::RawExec(db, {"PRAGMA user_version = 99"});
    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(lesson.DataDir(), &error)) << error.toStdString();
    const auto lessons = history.Lessons();
    ASSERT_TRUE(lessons.has_value());
    EXPECT_EQ(lessons->size(), 1u);
    EXPECT_FALSE(history.SetGrade(1, 3, 2, 1)); // read only: no grade written
    EXPECT_FALSE(history.Error().isEmpty());
    history.Close();
    RecordConnection reader;
    ASSERT_TRUE(reader.OpenReadOnly(db, &error)) << error.toStdString();
    QSqlQuery version(reader.Database());
    ASSERT_TRUE(version.exec("PRAGMA user_version") && version.next());
    EXPECT_EQ(version.value(0).toInt(), 99);
}

} // namespace
} // namespace lumora
