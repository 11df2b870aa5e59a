// The recorder against a real database file: what a lesson leaves behind,
// reopening, and the failures a lesson must survive.
#include "record/Recorder.h"

#include "RecordTest.h"
#include "core/MessageTexts.h"
#include "record/LessonHistory.h"
#include "record/RecordDatabase.h"
#include "record/RecordFile.h"
#include "session/Question.h"
#include "support/CrashHelper.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace lumora {
namespace {

using test::DataDir;
using test::FillTable;
using test::Rows;
using test::U;
using test::Value;

constexpr uint32_t A = 1u << 1, B = 1u << 2, C = 1u << 3;

// Pen points in the file: 8 bytes each.
const QString kPointCount =
    QStringLiteral("SELECT COALESCE(SUM(LENGTH(points)), 0) / 8 FROM pen_stroke");

QString Db(const DataDir &dir) {
    return RecordDatabasePath(dir.Path());
}

// One choice question and one subjective question with a picture, as the
// main window would report them.
void RecordTwoQuestions(Recorder &recorder, SlotTable &table, QImage &ink) {
    FillTable(table, {{"张三", 11}, {"Li", 12}, {"", 13}, {"Wu", 14}});
    recorder.QuestionStarted(0, QStringLiteral("C"), table);
    recorder.KeyPressed(0, 1, A);
    recorder.KeyPressed(0, 3, C);
    recorder.KeyPressed(1, 2, B);
    recorder.KeyPressed(1, 9, 0);
    recorder.KeyPressed(2, 1, A); // an entry without a name is no student
    table[0].Answer = C;
    recorder.QuestionEnded(0, QStringLiteral("C"), table);
    recorder.KeyPressed(0, 2, B); // after the end: not part of the question

    table[0].Answer = 0;
    recorder.QuestionStarted(2, QString(), table);
    recorder.PenPoint(1, 10, 20);
    recorder.PenPoint(1, -3, 21);
    recorder.PenUp(1);
    recorder.PenPoint(3, 1, 1); // then wiped: a white pane
    recorder.UnknownTablet(777);
    recorder.UnknownTablet(777);
    recorder.UnknownTablet(778);
    recorder.QuestionEnded(2, QString(), table);
    ink = QImage(40, 30, QImage::Format_RGB32);
    ink.fill(Qt::white);
    ink.setPixel(5, 6, qRgb(0, 0, 0));
    // Panes show ink only where it was drawn; the others hold no pixels.
    static const QImage blank;
    for (int i = 0; i < 4; ++i) {
        table[i].InkCanvas = i == 1 ? &ink : const_cast<QImage *>(&blank);
    }
    recorder.SaveInkPictures(table, QSize(40, 30));
    ink.setPixel(7, 7, qRgb(0, 0, 0)); // drawn after the copy was taken
}

// A whole run of the program that records the two questions.
void RecordALesson(const DataDir &dir) {
    SlotTable table;
    QImage ink;
    Recorder recorder(dir.Path());
    recorder.Start();
    RecordTwoQuestions(recorder, table, ink);
}

TEST(Recorder, KeepsEveryQuestionStudentPressPointAndPicture) {
    DataDir dir;
    SlotTable table;
    QImage ink;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        RecordTwoQuestions(recorder, table, ink);
        recorder.Stop();
        const RecorderCounters counters = recorder.Counters();
        EXPECT_EQ(counters.dropped, 0u);
        EXPECT_EQ(counters.recorded, counters.queued);
        EXPECT_EQ(counters.ignored, 2u); // the nameless entry and the late press
        EXPECT_TRUE(recorder.Problems().empty())
            << (recorder.Problems().empty() ? "" : recorder.Problems()[0].detail.toStdString());
    }
    const QString db = Db(dir);
    const QRegularExpression iso(
        QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d$)"));
    const auto lessons = Rows(db, "SELECT number, started_at, ended_at, folder FROM lesson");
    ASSERT_EQ(lessons.size(), 1u);
    EXPECT_EQ(lessons[0][0].toInt(), 1);
    EXPECT_TRUE(iso.match(lessons[0][1].toString()).hasMatch())
        << lessons[0][1].toString().toStdString();
    EXPECT_TRUE(iso.match(lessons[0][2].toString()).hasMatch());

    const auto questions = Rows(
        db, "SELECT number, type, answer_key, started_at, ended_at FROM question ORDER BY number");
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_EQ(questions[0][1].toInt(), 0);
    EXPECT_EQ(questions[0][2].toString(), QStringLiteral("C"));
    EXPECT_EQ(questions[1][1].toInt(), 2);
    for (const auto &q : questions) {
        EXPECT_TRUE(iso.match(q[3].toString()).hasMatch());
        EXPECT_LE(q[3].toString(), q[4].toString());
    }

    const auto students = Rows(db, "SELECT q.number, s.seat, s.name, s.card_id, s.letters, "
                                   "s.correct FROM student s JOIN question q ON q.id = s.question "
                                   "ORDER BY q.number, s.seat");
    ASSERT_EQ(students.size(), 6u); // three named entries per question
    EXPECT_EQ(students[0][2].toString(), U("张三"));
    EXPECT_EQ(students[0][3].toInt(), 11);
    EXPECT_EQ(students[0][4].toString(), QStringLiteral("C"));
    EXPECT_EQ(students[0][5].toInt(), 1);
    EXPECT_EQ(students[1][4].toString(), QString()); // cleared with key 9
    EXPECT_EQ(students[1][5].toInt(), 0);
    EXPECT_EQ(students[2][1].toInt(), 4); // seat numbers count from 1
    EXPECT_TRUE(students[3][5].isNull()); // subjective: no correctness

    const auto presses = Rows(db, "SELECT s.seat, p.key, p.ms, p.answer FROM press p JOIN student "
                                  "s ON s.id = p.student ORDER BY p.id");
    ASSERT_EQ(presses.size(), 4u);
    const int expected[4][3] = {{1, 1, int(A)}, {1, 3, int(C)}, {2, 2, int(B)}, {2, 9, 0}};
    int lastMs = 0;
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(presses[i][0].toInt(), expected[i][0]);
        EXPECT_EQ(presses[i][1].toInt(), expected[i][1]);
        EXPECT_EQ(presses[i][3].toInt(), expected[i][2]);
        EXPECT_GE(presses[i][2].toInt(), lastMs);
        lastMs = presses[i][2].toInt();
    }

    LessonHistory history;
    QString error;
    ASSERT_TRUE(history.Open(dir.Path(), &error));
    const auto points = history.PenPoints(1, 2, 2);
    ASSERT_TRUE(points && points->size() == 3u);
    EXPECT_EQ(points->at(0).x, 10);
    EXPECT_EQ(points->at(0).y, 20);
    EXPECT_EQ(points->at(1).x, -3);
    EXPECT_TRUE(points->at(1).down);
    EXPECT_FALSE(points->at(2).down);
    EXPECT_LE(points->at(0).ms, points->at(2).ms);
    EXPECT_TRUE(history.PenPoints(1, 2, 1)->empty());

    const auto pictures = Rows(db, "SELECT s.seat, p.path FROM picture p JOIN student s ON s.id = "
                                   "p.student");
    // Seat 2 shows its ink; seat 4 wrote and wiped it: white.
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_EQ(pictures[0][1].toString(), QStringLiteral("1/q2-seat2.png"));
    EXPECT_EQ(pictures[1][1].toString(), QStringLiteral("1/q2-seat4.png"));
    const QImage saved(QDir(RecordsFolder(dir.Path())).filePath(pictures[0][1].toString()));
    ASSERT_EQ(saved.size(), QSize(40, 30));
    EXPECT_EQ(saved.pixel(5, 6), qRgb(0, 0, 0));
    EXPECT_EQ(saved.pixel(7, 7), qRgb(255, 255, 255));
    const QImage wiped(QDir(RecordsFolder(dir.Path())).filePath(pictures[1][1].toString()));
    ASSERT_EQ(wiped.size(), QSize(40, 30));
    EXPECT_EQ(wiped.pixel(20, 15), qRgb(255, 255, 255));
    EXPECT_TRUE(wiped.isGrayscale());

    const auto unknown =
        Rows(db, "SELECT tablet_id, events FROM unknown_tablet ORDER BY tablet_id");
    ASSERT_EQ(unknown.size(), 2u);
    EXPECT_EQ(unknown[0], (QVariantList{777, 2}));
    EXPECT_EQ(unknown[1], (QVariantList{778, 1}));
}

TEST(Recorder, ANewRunIsTheNextLessonAndKeepsTheOldOnes) {
    DataDir dir;
    RecordALesson(dir);
    RecordALesson(dir);
    {
        Recorder idle(dir.Path()); // a run without questions leaves no lesson
        idle.Start();
    }
    EXPECT_EQ(Rows(Db(dir), "SELECT number FROM lesson ORDER BY number"),
              (std::vector<QVariantList>{{1}, {2}}));
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM question").toInt(), 4);
    EXPECT_EQ(Value(Db(dir), "SELECT path FROM picture ORDER BY student DESC").toString(),
              QStringLiteral("2/q2-seat4.png"));
    EXPECT_EQ(Value(Db(dir), "PRAGMA user_version").toInt(), RecordSchemaVersion());
    EXPECT_EQ(Value(Db(dir), "PRAGMA journal_mode").toString(), QStringLiteral("wal"));
}

TEST(Recorder, EndingWithoutAStartOrTwiceKeepsOneQuestion) {
    DataDir dir;
    SlotTable table;
    FillTable(table, {{"a", 1}, {"b", 2}});
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        table[0].Answer = A;
        recorder.QuestionEnded(1, QStringLiteral("AB"), table); // answers given while not started
        table[1].Answer = A | B;
        recorder.QuestionEnded(1, QStringLiteral("AB"), table); // the result rebuilt
    }
    EXPECT_EQ(Rows(Db(dir), "SELECT seat, letters, correct FROM student ORDER BY seat"),
              (std::vector<QVariantList>{{1, "A", 0}, {2, "AB", 1}}));
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM question").toInt(), 1);
}

// Files in place of the database that cannot be used.
struct BadFile {
    const char *what;
    std::function<void(const DataDir &)> make;
};

void PrintTo(const BadFile &file, std::ostream *os) {
    *os << file.what;
}

class UnusableDatabase : public testing::TestWithParam<BadFile> {};

TEST_P(UnusableDatabase, IsKeptAsideAndAFreshOneRecords) {
    DataDir dir;
    QDir().mkpath(RecordsFolder(dir.Path()));
    GetParam().make(dir);
    SlotTable table;
    QImage ink;
    std::vector<RecordProblem> signalled;
    {
        Recorder recorder(dir.Path());
        QObject::connect(
            &recorder, &Recorder::ProblemFound, &recorder,
            [&](const RecordProblem &p) { signalled.push_back(p); }, Qt::DirectConnection);
        recorder.Start();
        RecordTwoQuestions(recorder, table, ink);
        recorder.Stop();
        ASSERT_EQ(recorder.Problems().size(), 1u);
        EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::SetAside);
        EXPECT_EQ(recorder.Counters().dropped, 0u);
    }
    ASSERT_EQ(signalled.size(), 1u);
    const QStringList aside = QDir(RecordsFolder(dir.Path()))
                                  .entryList({QStringLiteral("lessons.unusable-*.db")},
                                             QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_EQ(aside.size(), 1) << aside.join(' ').toStdString();
    EXPECT_TRUE(signalled[0].detail.contains(aside[0])) << signalled[0].detail.toStdString();
    // The message of the prompt: the kind's text, then where the file went.
    EXPECT_TRUE(RecordProblemText(signalled[0]).startsWith(MessageTexts[MessageKey::RecordError1]));
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM question").toInt(), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableDatabase,
    testing::Values(
        BadFile{"garbage",
                [](const DataDir &d) { d.Write("Records/lessons.db", QByteArray(5000, 'x')); }},
        BadFile{"another program's tables",
                [](const DataDir &d) { test::RawExec(Db(d), {"CREATE TABLE lesson (x)"}); }},
        BadFile{"a folder", [](const DataDir &d) { QDir().mkpath(Db(d)); }}),
    [](const testing::TestParamInfo<BadFile> &info) {
        return QString::fromLatin1(info.param.what)
            .replace(' ', '_')
            .replace('\'', '_')
            .toStdString();
    });

TEST(Recorder, AStaleWriteAheadLogGoesAsideWithItsDatabase) {
    DataDir dir;
    dir.Write("Records/lessons.db", QByteArray(4096, '\x01'));
    dir.Write("Records/lessons.db-wal", QByteArray("not a log"));
    {
        Recorder recorder(dir.Path());
        recorder.Start();
    }
    const QStringList aside =
        QDir(RecordsFolder(dir.Path())).entryList({QStringLiteral("lessons.unusable-*")});
    ASSERT_EQ(aside.size(), 2) << aside.join(' ').toStdString();
    EXPECT_TRUE(aside[1].endsWith(QStringLiteral(".db-wal")));
    EXPECT_EQ(dir.Read("Records/" + aside[1]), QByteArray("not a log"));
    EXPECT_EQ(Value(Db(dir), "PRAGMA user_version").toInt(), RecordSchemaVersion());
}

// Letters a student's answer held before the question started are kept apart
// from the presses made during it and never count as correct.
TEST(Recorder, ACarriedOverAnswerIsNeverCorrect) {
    DataDir dir;
    SlotTable table;
    FillTable(table, {{"carried A, pressed C", 1}, {"cleared, pressed A C", 2}, {"fresh", 3}});
    table[0].Answer = A;
    table[1].Answer = A;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.QuestionStarted(kQuestionMultiple, QStringLiteral("AC"), table);
        recorder.KeyPressed(0, 3, A | C);
        recorder.KeyPressed(1, 9, 0);
        recorder.KeyPressed(1, 1, A);
        recorder.KeyPressed(1, 3, A | C);
        recorder.KeyPressed(2, 1, A);
        recorder.KeyPressed(2, 3, A | C);
        for (int i = 0; i < 3; ++i) {
            table[i].Answer = A | C;
        }
        recorder.QuestionEnded(kQuestionMultiple, QStringLiteral("AC"), table);
    }
    EXPECT_EQ(Rows(Db(dir), "SELECT seat, letters, correct, carried FROM student ORDER BY seat"),
              (std::vector<QVariantList>{{1, "AC", 0, A}, {2, "AC", 1, 0}, {3, "AC", 1, 0}}));
}

// Pictures saved by a run killed before their rows were committed get their
// rows at the next start; a file that names no recorded question gets none.
TEST(Recorder, PicturesWithoutRowsAreRecordedAtTheNextStart) {
    DataDir dir;
    SlotTable table;
    QImage ink;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        RecordTwoQuestions(recorder, table, ink);
    }
    const auto before = Rows(Db(dir), "SELECT student, path FROM picture ORDER BY student");
    ASSERT_FALSE(before.empty());
    test::RawExec(Db(dir), {"DELETE FROM picture"});
    dir.Write("Records/1/q9-seat1.png", "no question 9");
    {
        Recorder recorder(dir.Path());
        recorder.Start();
    }
    EXPECT_EQ(Rows(Db(dir), "SELECT student, path FROM picture ORDER BY student"), before);
}

// A sound record this program may not use stays where it is, whole; the
// lesson goes on unrecorded and the teacher is told why, once.
TEST(Recorder, ANewerOrReadOnlyRecordStaysInPlace) {
    struct Case {
        const char *what;
        bool needsNonRoot;
        const char *says;
        std::function<void(const DataDir &)> make;
    };
    const Case cases[] = {
        {"a newer version's record", false, "newer version",
         [](const DataDir &d) { test::RawExec(Db(d), {"PRAGMA user_version = 99"}); }},
        {"a read-only record", true, "readonly",
         [](const DataDir &d) {
             test::RawExec(Db(d), {"PRAGMA user_version = 99"});
             QFile::setPermissions(Db(d), QFile::ReadOwner);
         }},
    };
    for (const Case &c : cases) {
        if (c.needsNonRoot && ::geteuid() == 0) {
            continue; // root writes whatever the permission bits say
        }
        DataDir dir;
        QDir().mkpath(RecordsFolder(dir.Path()));
        c.make(dir);
        SlotTable table;
        FillTable(table, {{"a", 1}});
        {
            Recorder recorder(dir.Path());
            recorder.Start();
            recorder.QuestionStarted(0, QStringLiteral("A"), table);
            recorder.QuestionEnded(0, QStringLiteral("A"), table);
            recorder.Stop();
            ASSERT_EQ(recorder.Problems().size(), 1u) << c.what;
            EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::Unavailable) << c.what;
            EXPECT_TRUE(recorder.Problems()[0].detail.contains(c.says, Qt::CaseInsensitive))
                << recorder.Problems()[0].detail.toStdString();
        }
        EXPECT_EQ(QDir(RecordsFolder(dir.Path())).entryList({QStringLiteral("*unusable*")}),
                  QStringList())
            << c.what;
        RecordConnection reader;
        QString error;
        ASSERT_TRUE(reader.OpenReadOnly(Db(dir), &error)) << error.toStdString();
        QSqlQuery version(reader.Database());
        ASSERT_TRUE(version.exec("PRAGMA user_version") && version.next());
        EXPECT_EQ(version.value(0).toInt(), 99) << c.what;
    }
}

// Setting a record aside moves its WAL with it: a crash at any step leaves
// the database and its log together under one name.
TEST(Recorder, ACrashWhileSettingAsideKeepsTheDatabaseWithItsLog) {
    for (const int crashAfter : {1, 2}) {
        DataDir dir;
        const QByteArray database(4096, '\x01');
        dir.Write("Records/lessons.db", database);
        dir.Write("Records/lessons.db-wal", "the log");
        dir.Write("Records/lessons.db-shm", "shared");
        static int steps;
        static int crashAt;
        steps = 0;
        crashAt = crashAfter;
        ASSERT_TRUE(test::RunAndCrash([&] {
            SetAsideStepHookForTesting([] {
                if (++steps == crashAt) {
                    test::DieNow();
                }
            });
            Recorder recorder(dir.Path());
            recorder.Start();
        }));
        const QDir records(RecordsFolder(dir.Path()));
        const QStringList aside = records.entryList({QStringLiteral("lessons.unusable-*.db")});
        ASSERT_EQ(aside.size(), 1) << crashAfter;
        EXPECT_EQ(dir.Read("Records/" + aside[0]), database);
        EXPECT_EQ(dir.Read("Records/" + aside[0] + "-wal"), QByteArray("the log")) << crashAfter;
        // The old name still holds the database until both side files moved.
        EXPECT_EQ(dir.Read("Records/lessons.db"), database);
    }
}

// Another run of the program writing the same file: the file is not set
// aside under it, this run records nothing.
TEST(Recorder, AFileHeldByAnotherWriterIsLeftAlone) {
    DataDir dir;
    QDir().mkpath(RecordsFolder(dir.Path()));
    RecordConnection other;
    QString error;
    ASSERT_TRUE(other.Open(Db(dir), true, &error)) << error.toStdString();
    QSqlQuery hold(other.Database());
    ASSERT_TRUE(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.Stop();
        ASSERT_EQ(recorder.Problems().size(), 1u);
        EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::Unavailable);
        EXPECT_TRUE(recorder.Problems()[0].detail.contains(QStringLiteral("in use")));
    }
    hold.exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(QDir(RecordsFolder(dir.Path())).entryList({QStringLiteral("*unusable*")}).size(), 0);
}

// A disk that takes no more bytes when the lesson starts says nothing against
// the file: it stays where it is. (A file size limit of one byte stands in
// for the full disk.)
TEST(Recorder, AFullDiskAtTheStartLeavesTheFileInPlace) {
    DataDir dir;
    RecordALesson(dir);
    const QByteArray before = dir.Read("Records/lessons.db");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 1;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    std::vector<RecordProblem> problems;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.Stop();
        problems = recorder.Problems();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].kind, RecordProblem::Kind::Unavailable)
        << problems[0].detail.toStdString();
    EXPECT_TRUE(dir.Read("Records/lessons.db") == before); // untouched
    EXPECT_EQ(QDir(RecordsFolder(dir.Path())).entryList({QStringLiteral("*unusable*")}).size(), 0);
}

// Damage inside a file whose header is sound shows when it is written: that
// run stops recording and the next start checks the file and sets it aside.
TEST(Recorder, DamageFoundWhileWritingIsSetAsideAtTheNextStart) {
    DataDir dir;
    SlotTable table;
    QImage ink;
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        RecordTwoQuestions(recorder, table, ink);
    }
    {
        QFile file(Db(dir));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_GT(file.size(), 4096 * 3);
        ASSERT_TRUE(file.seek(4096)); // every page after the first
        ASSERT_EQ(file.write(QByteArray(file.size() - 4096, '\xA5')), file.size() - 4096);
    }
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        recorder.QuestionStarted(0, QStringLiteral("A"), table);
        recorder.Stop();
        ASSERT_EQ(recorder.Problems().size(), 1u);
        EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::Damaged);
        EXPECT_TRUE(RecordProblemText(recorder.Problems()[0])
                        .startsWith(MessageTexts[MessageKey::RecordDamaged]));
    }
    EXPECT_TRUE(dir.Exists("Records/lessons.db.check"));
    Recorder recorder(dir.Path());
    recorder.Start();
    recorder.QuestionStarted(0, QStringLiteral("A"), table);
    recorder.Stop();
    ASSERT_EQ(recorder.Problems().size(), 1u);
    EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::SetAside);
    EXPECT_FALSE(dir.Exists("Records/lessons.db.check"));
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM question").toInt(), 1);
}

TEST(Recorder, MigratesAnEmptyDatabase) {
    for (const bool zeroBytes : {true, false}) {
        DataDir dir;
        if (zeroBytes) {
            dir.Write("Records/lessons.db", QByteArray());
        } else { // an empty SQLite file at version 0
            QDir().mkpath(RecordsFolder(dir.Path()));
            test::RawExec(Db(dir), {"CREATE TABLE t (x)", "DROP TABLE t"});
            ASSERT_GT(QFileInfo(Db(dir)).size(), 0);
        }
        Recorder recorder(dir.Path());
        recorder.Start();
        SlotTable table;
        FillTable(table, {{"a", 1}});
        recorder.QuestionStarted(0, QStringLiteral("A"), table);
        recorder.Stop();
        EXPECT_TRUE(recorder.Problems().empty()) << zeroBytes;
        EXPECT_EQ(Value(Db(dir), "PRAGMA user_version").toInt(), RecordSchemaVersion());
        EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM student").toInt(), 1);
        EXPECT_EQ(Value(Db(dir), "PRAGMA foreign_key_check").isValid(), false);
    }
}

// A question run from a set keeps its place, text, points, limit and how
// long it ran; the records of the version before the set columns read on.
TEST(Recorder, KeepsTheSetPlaceAndReadsRecordsOfEarlierVersions) {
    DataDir dir;
    RecordALesson(dir);
    test::RawExec(
        Db(dir),
        {"ALTER TABLE question DROP COLUMN set_name", "ALTER TABLE question DROP COLUMN set_number",
         "ALTER TABLE question DROP COLUMN text", "ALTER TABLE question DROP COLUMN points",
         "ALTER TABLE question DROP COLUMN time_limit_ms",
         "ALTER TABLE question DROP COLUMN duration_ms", "DROP TABLE pick",
         "ALTER TABLE student DROP COLUMN carried", "ALTER TABLE student DROP COLUMN grade",
         "DROP TABLE attendance", "DROP INDEX lesson_class",
         "ALTER TABLE lesson DROP COLUMN class_file", "ALTER TABLE lesson DROP COLUMN class_name",
         "ALTER TABLE lesson DROP COLUMN title", "ALTER TABLE lesson DROP COLUMN deleted_at",
         "PRAGMA user_version = 1"});
    {
        Recorder recorder(dir.Path());
        recorder.Start();
        SlotTable table;
        FillTable(table, {{"a", 1}});
        const QuestionPlace place{U("第一周"), 3, U("二加一？"), 1.5, 30000};
        recorder.QuestionStarted(0, QStringLiteral("C"), table, place);
        recorder.QuestionEnded(0, QStringLiteral("C"), table, place);
        recorder.QuestionStarted(2, QString(), table); // set up by hand
        recorder.QuestionEnded(2, QString(), table);
        recorder.Stop();
        EXPECT_TRUE(recorder.Problems().empty());
    }
    EXPECT_EQ(Value(Db(dir), "PRAGMA user_version").toInt(), RecordSchemaVersion());
    // "-" for none.
    const auto rows =
        Rows(Db(dir), "SELECT lesson, number, answer_key, IFNULL(set_name, '-'), "
                      "IFNULL(set_number, '-'), IFNULL(text, '-'), IFNULL(points, '-'), "
                      "IFNULL(time_limit_ms, '-'), IFNULL(duration_ms >= 0, '-') "
                      "FROM question ORDER BY id");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (QVariantList{1, 1, "C", "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(rows[2], (QVariantList{2, 1, "C", U("第一周"), 3, U("二加一？"), 1.5, 30000, 1}));
    EXPECT_EQ(rows[3], (QVariantList{2, 2, "", "-", "-", "-", "-", "-", 1}));
}

// A lesson goes on, unrecorded, when the Records folder takes no writes.
TEST(Recorder, AFolderThatTakesNoWritesRecordsNothingAndSaysSoOnce) {
    struct Case {
        const char *what;
        bool needsNonRoot;
        QByteArray keeps; // what is left in place of the database
        std::function<QString(const DataDir &)> dataDir;
    };
    const Case cases[] = {
        {"data folder is a file", false, QByteArray(),
         [](const DataDir &d) {
             d.Write("plain", "x");
             return d.File("plain");
         }},
        {"read-only Records folder", true, QByteArray(),
         [](const DataDir &d) {
             QDir().mkpath(d.File("Records"));
             QFile::setPermissions(d.File("Records"), QFile::ReadOwner | QFile::ExeOwner);
             return d.Path();
         }},
        {"read-only folder holding a bad file", true, QByteArray("junk"),
         [](const DataDir &d) {
             d.Write("Records/lessons.db", "junk");
             QFile::setPermissions(d.File("Records"), QFile::ReadOwner | QFile::ExeOwner);
             return d.Path();
         }},
    };
    for (const Case &c : cases) {
        if (c.needsNonRoot && ::geteuid() == 0) {
            continue; // root writes whatever the permission bits say
        }
        DataDir dir;
        const QString dataDir = c.dataDir(dir);
        Recorder recorder(dataDir);
        recorder.Start();
        SlotTable table;
        FillTable(table, {{"a", 1}});
        for (int i = 0; i < 3; ++i) {
            recorder.QuestionStarted(0, QStringLiteral("A"), table);
            recorder.KeyPressed(0, 1, A);
            recorder.QuestionEnded(0, QStringLiteral("A"), table);
        }
        recorder.Stop();
        ASSERT_EQ(recorder.Problems().size(), 1u) << c.what;
        EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::Unavailable) << c.what;
        const RecorderCounters counters = recorder.Counters();
        EXPECT_EQ(counters.recorded, 0u) << c.what;
        EXPECT_EQ(counters.dropped, 9u) << c.what; // each event lost exactly once
        QFile::setPermissions(dir.File("Records"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(dir.Read("Records/lessons.db"), c.keeps) << c.what;
    }
}

TEST(Recorder, AFullDiskStopsRecordingOnceAndKeepsWhatWasCommitted) {
    DataDir dir;
    Recorder::Options options;
    options.maxPages = 40;
    SlotTable table;
    FillTable(table, {{"a", 1}, {"b", 2}});
    {
        Recorder recorder(dir.Path(), options);
        recorder.Start();
        recorder.QuestionStarted(2, QString(), table);
        recorder.PenPoint(0, 1, 1);
        ASSERT_TRUE(test::WaitForCommits(recorder, 1));
        for (int i = 0; i < 200000; ++i) {
            recorder.PenPoint(i % 2, i % 500, i % 300);
        }
        recorder.Stop();
        ASSERT_EQ(recorder.Problems().size(), 1u);
        EXPECT_EQ(recorder.Problems()[0].kind, RecordProblem::Kind::WriteFailed);
        EXPECT_GT(recorder.Counters().dropped, 0u);
        EXPECT_GE(recorder.Counters().recorded, 2u);
    }
    EXPECT_EQ(Value(Db(dir), "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM student").toInt(), 2);
    EXPECT_GE(Value(Db(dir), kPointCount).toInt(), 1);
}

TEST(Recorder, AFullQueueDropsEventsButNeverAQuestion) {
    DataDir dir;
    Recorder::Options options;
    options.maxQueued = 100;
    SlotTable table;
    FillTable(table, {{"a", 1}});
    Recorder recorder(dir.Path(), options);
    recorder.QuestionStarted(2, QString(), table); // queued before the writer runs
    for (int i = 0; i < 150; ++i) {
        recorder.PenPoint(0, i, i);
    }
    recorder.QuestionEnded(2, QString(), table);
    recorder.Start();
    recorder.Stop();
    const RecorderCounters counters = recorder.Counters();
    EXPECT_EQ(counters.queued, 101u);
    EXPECT_EQ(counters.dropped, 51u);
    EXPECT_EQ(Value(Db(dir), kPointCount).toInt(), 99);
    EXPECT_FALSE(Value(Db(dir), "SELECT ended_at FROM question").isNull());
}

// The reader thread writes while the main thread runs questions: nothing is
// lost, nothing lands in the wrong question.
TEST(Recorder, ProducersOnTwoThreadsLoseNothing) {
    DataDir dir;
    SlotTable table;
    std::vector<test::Student> students;
    for (int i = 0; i < 100; ++i) {
        students.push_back({"s", static_cast<uint16_t>(i + 1)});
    }
    FillTable(table, students);
    Recorder::Options options;
    options.tick = std::chrono::milliseconds(5);
    Recorder recorder(dir.Path(), options);
    recorder.Start();
    recorder.QuestionStarted(2, QString(), table);
    std::atomic<bool> done{false};
    std::thread reader([&] {
        for (int i = 0; i < 20000; ++i) {
            recorder.PenPoint(i % 100, i, -i);
            if (i % 1000 == 999) {
                recorder.PenUp(i % 100);
                recorder.UnknownTablet(4000);
            }
        }
        done = true;
    });
    int questions = 1;
    while (!done) {
        recorder.QuestionEnded(2, QString(), table);
        recorder.QuestionStarted(2, QString(), table);
        ++questions;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    reader.join();
    recorder.Stop();
    const RecorderCounters counters = recorder.Counters();
    EXPECT_EQ(counters.dropped, 0u);
    EXPECT_EQ(counters.recorded, counters.queued);
    const int rows =
        Value(Db(dir), kPointCount).toInt() +
        Value(Db(dir), "SELECT COUNT(*) FROM pen_stroke WHERE up_ms IS NOT NULL").toInt();
    // Points that fell between an end and the next start are ignored, all
    // others are rows.
    EXPECT_EQ(static_cast<uint64_t>(rows) + counters.ignored, 20000u + 20u);
    EXPECT_EQ(Value(Db(dir), "SELECT COUNT(*) FROM question").toInt(), questions);
    EXPECT_EQ(Value(Db(dir), "SELECT events FROM unknown_tablet").toInt(), 20);
}

} // namespace
} // namespace lumora
