// The real program under Xvfb: the scripted lesson on a replayed class saves
// a picture of every view and quits, writing both files at exit.
#include "config/Roster.h"
#include "core/MessageTexts.h"
#include "support/ReplayScript.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>

namespace lumora::test {
namespace {

// The program gets this long; xvfb-run then ends it.
constexpr int kProgramSeconds = 180;

struct Outcome {
    int exitCode = -1;
    QString output;
};

class Program : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        // LUMORA_KEEP_TEST_DATA=1 keeps the folder with the pictures for a look.
        if (qEnvironmentVariableIsSet("LUMORA_KEEP_TEST_DATA")) {
            dir_.setAutoRemove(false);
            std::printf("data and pictures in %s\n", qPrintable(dir_.path()));
        }
    }

    QString Path(const QString &name) const { return dir_.filePath(name); }

    // Lumora with the arguments on a fresh X server, the receiver replaying
    // the script.
    // An empty receiver leaves PENLYNX_RECEIVER unset.
    Outcome Start(const QStringList &arguments, const QString &receiver,
                  bool answerPrompts = false) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LUMORA_ANSWER_PROMPTS"));
        if (answerPrompts) {
            env.insert(QStringLiteral("LUMORA_ANSWER_PROMPTS"), QStringLiteral("ok"));
        }
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.remove(QStringLiteral("PENLYNX_RECEIVER"));
        if (!receiver.isEmpty()) {
            env.insert(QStringLiteral("PENLYNX_RECEIVER"), receiver);
        }
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QStringLiteral("xvfb-run"),
                      QStringList{"-a", "-s", "-screen 0 1280x800x24", "timeout",
                                  QString::number(kProgramSeconds), LUMORA_PROGRAM} +
                          arguments);
        Outcome run;
        if (!process.waitForStarted() || !process.waitForFinished((kProgramSeconds + 30) * 1000)) {
            process.kill();
            process.waitForFinished();
            ADD_FAILURE() << "xvfb-run did not start or end: "
                          << process.errorString().toStdString();
            return run;
        }
        run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        run.output = QString::fromLocal8Bit(process.readAll());
        return run;
    }

    QTemporaryDir dir_;
};

// Tablets 1..6 are heard from before the first picture; then seven students
// answer (key B is right), tablets 1..4 write on the first page, and every
// two seconds all eight press a key.
ReplayScript Lesson() {
    ReplayScript script;
    for (int i = 0; i < 6; ++i) {
        for (uint16_t tablet = 1; tablet <= 6; ++tablet) {
            script.Keys(tablet, {1});
        }
        script.Wait(200);
    }
    script.Wait(1800);
    const std::vector<std::pair<uint16_t, uint8_t>> answers = {{1, 2}, {2, 2}, {3, 1}, {4, 3},
                                                               {5, 2}, {6, 2}, {7, 1}};
    for (const auto &[tablet, key] : answers) {
        script.Keys(tablet, {key}).Wait(250);
    }
    script.Wait(6500);
    for (uint16_t tablet = 1; tablet <= 4; ++tablet) {
        const int shift = tablet * 120;
        script.Stroke(tablet, Line({700, 500 + shift}, {2200, 500 + shift}))
            .Wait(100)
            .Stroke(tablet, Line({700, 500}, {1400, 1700}))
            .Wait(100)
            .Stroke(tablet, Line({1400, 1700}, {2200, 500}))
            .Wait(300);
    }
    // From then on the class keeps answering, so the set's questions have
    // answers to hide and reveal.
    for (int round = 0; round < 30; ++round) {
        script.Wait(2000);
        for (uint16_t tablet = 1; tablet <= 8; ++tablet) {
            script.Keys(tablet, {static_cast<uint8_t>(1 + tablet % 3)});
        }
    }
    return script.Wait(60000);
}

// Distinct colours on a coarse grid of the picture.
int Colours(const QImage &image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            colours.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(colours.size());
}

int PixelsOf(const QImage &image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

TEST_F(Program, TourSavesEveryViewAndTheFilesAreWrittenAtExit) {
    // Files that lack keys: what the program writes at exit is recognisable.
    WriteTextFile(Path("Config.ini"), QStringLiteral("[Public]\nMainLine=4\nMainRow=2\nSplit=4\n"));
    WriteRosterFile(dir_.path(), NumberedClass(8));
    Lesson().Save(Path("lesson.replay"));
    const QString pictures = Path("tour");

    const Outcome run =
        Start({"--data-dir", dir_.path(), "--tour", pictures}, "replay:" + Path("lesson.replay"));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    // Every picture the program announced exists and shows something.
    QStringList files;
    const QRegularExpression announced(QStringLiteral("^tour: (.+\\.png)$"),
                                       QRegularExpression::MultilineOption);
    for (const auto &match : announced.globalMatch(run.output)) {
        files << match.captured(1);
    }
    // Seat grid, answering, answers, chart, handwriting, its next page, one
    // pane alone, settings, the history with the choice question, with the
    // handwriting, one picture large, then graded, the attendance, the set's
    // editor, its question with hidden then revealed answers, a pick, a
    // countdown, its handwritten question, the classes, the second one
    // answering, the history of both, the first one's term, a seat's dialog
    // waiting for a key on a tablet and the help.
    ASSERT_EQ(files.size(), 25) << run.output.toStdString();
    std::vector<QImage> images;
    for (const QString &file : files) {
        ASSERT_TRUE(QFileInfo(file).absolutePath() == QDir(pictures).absolutePath())
            << file.toStdString();
        EXPECT_GT(QFileInfo(file).size(), 8000) << file.toStdString();
        QImage image(file);
        ASSERT_FALSE(image.isNull()) << file.toStdString();
        EXPECT_EQ(image.size(), QSize(1280, 800)) << file.toStdString();
        EXPECT_GT(Colours(image), 20) << file.toStdString();
        images.push_back(image.convertToFormat(QImage::Format_RGB32));
    }
    for (size_t i = 0; i < images.size(); ++i) {
        for (size_t j = i + 1; j < images.size(); ++j) {
            EXPECT_NE(images[i], images[j])
                << files[i].toStdString() << " and " << files[j].toStdString();
        }
    }
    // The chart has the right answer's green bar and a wrong answer's red one.
    const QImage &chart = images[3];
    ASSERT_TRUE(files[3].endsWith(u"3-result-chart.png"));
    EXPECT_GT(PixelsOf(chart, qRgb(0, 128, 0)), 500) << files[3].toStdString();
    EXPECT_GT(PixelsOf(chart, qRgb(255, 0, 0)), 500) << files[3].toStdString();

    ExpectWrittenAtExit(dir_.path(), 4, 2, QStringLiteral("Student 8"));
}

TEST_F(Program, TourStartsAnywhereOnTheSimulatedClass) {
    // No receiver chosen, no data folder yet, nobody to answer the first
    // start's seat count: the tour answers it and seats the simulated class.
    const QString data = Path("fresh");
    const QString pictures = Path("tour");
    const Outcome run = Start({"--data-dir", data, "--tour", pictures}, QString());
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(u"tour: "_qs)) << run.output.toStdString();
    EXPECT_TRUE(QFileInfo::exists(QDir(pictures).filePath(u"4-live-handwriting.png"_qs)));
    // Thirty students on tablets 1..30, written at exit.
    SlotTable table;
    LoadRoster(data, table);
    int seated = 0;
    for (int i = 0; i < table.Count.load(); ++i) {
        seated += table[i].CardID.load() != 0 ? 1 : 0;
    }
    EXPECT_EQ(seated, 30);
    EXPECT_EQ(table[29].CardID.load(), 30);

    // The lesson stays in the record: the choice question with the class and
    // its presses, the handwritten one with the pictures of those who wrote,
    // then the three questions of the prepared set.
    const QString db = QDir(data).filePath(u"Records/lessons.db"_qs);
    const auto questions = RecordRows(
        db, "SELECT q.number, q.type, q.ended_at IS NOT NULL, COUNT(s.id), (SELECT COUNT(DISTINCT "
            "p.student) FROM press p JOIN student t ON t.id = p.student WHERE t.question = q.id) "
            "FROM question q JOIN student s ON s.question = q.id WHERE q.lesson = 1 "
            "GROUP BY q.id ORDER BY q.number");
    ASSERT_EQ(questions.size(), 5u);
    // Named at its end, the first class keeps the lesson; the second class's
    // question is a lesson of its own.
    EXPECT_EQ(RecordRows(db, "SELECT number, class_name, (SELECT COUNT(*) FROM question q "
                             "WHERE q.lesson = l.number) FROM lesson l ORDER BY number LIMIT 2"),
              (std::vector<QVariantList>{{1, u"初二(3)班"_qs, 5}, {2, u"初二(5)班"_qs, 1}}));
    EXPECT_EQ(questions[0].mid(0, 4), (QVariantList{1, 0, 1, 30}));
    EXPECT_GT(questions[0][4].toInt(), 10) << "students who pressed";
    EXPECT_EQ(questions[1].mid(0, 4), (QVariantList{2, 2, 1, 30}));
    const auto kept = RecordRows(db, "SELECT path FROM picture");
    EXPECT_FALSE(kept.empty());
    for (const QVariantList &row : kept) {
        const QImage picture(QDir(data).filePath(u"Records/"_qs + row[0].toString()));
        EXPECT_FALSE(picture.isNull()) << row[0].toString().toStdString();
        EXPECT_TRUE(picture.isGrayscale()) << row[0].toString().toStdString();
    }
}

TEST_F(Program, UnattendedFirstStartAnswersTheSeatCount) {
    // An empty data folder asks for the seat count before the receiver is
    // searched; without a receiver the program then ends, having written
    // the seats chosen by OK.
    const QString data = Path("empty");
    const Outcome run =
        Start({"--data-dir", data}, "replay:" + Path("no-such.replay"), /*answerPrompts=*/true);
    EXPECT_EQ(run.exitCode, 1) << run.output.toStdString();
    SlotTable table;
    EXPECT_GT(LoadRoster(data, table), 0);
}

TEST_F(Program, WithoutReceiverEndsWithAnErrorStatus) {
    WriteRosterFile(dir_.path(), NumberedClass(3));
    const Outcome run = Start({"--data-dir", dir_.path()}, "replay:" + Path("no-such.replay"),
                              /*answerPrompts=*/true);
    EXPECT_TRUE(run.output.contains(u"prompt: Error: "_qs + BuiltInMessageText(MessageKey::Error2)))
        << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.exitCode, 124) << "the program waited for the prompt until it was killed";
    EXPECT_TRUE(QFileInfo::exists(Path("Config.ini")));
    EXPECT_TRUE(QFileInfo::exists(Path("StudentInfo.ini")));
}

TEST_F(Program, HistoryOpensWithoutSearchingForTheReceiver) {
    // A receiver that would say so on stderr if the library searched for it,
    // and a data folder with a roster and settings that nothing may rewrite.
    WriteTextFile(Path("Config.ini"), QStringLiteral("[Public]\nMainLine=4\n"));
    WriteRosterFile(dir_.path(), NumberedClass(3));
    const QString roster = ReadTextFile(Path("StudentInfo.ini"));
    const Outcome run = Start({"--data-dir", dir_.path(), "--history", "--tour", Path("shots")},
                              "replay:" + Path("no-such.replay"));
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains(u"tour: "_qs)) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(u"replay"_qs)) << run.output.toStdString();
    EXPECT_FALSE(run.output.contains(u"prompt: "_qs)) << run.output.toStdString();
    const QImage picture(QDir(Path("shots")).filePath(u"history.png"_qs));
    ASSERT_FALSE(picture.isNull());
    EXPECT_GT(Colours(picture), 3);
    EXPECT_EQ(ReadTextFile(Path("Config.ini")), QStringLiteral("[Public]\nMainLine=4\n"));
    EXPECT_EQ(ReadTextFile(Path("StudentInfo.ini")), roster);
    EXPECT_FALSE(QFileInfo::exists(Path("Records")));
}

TEST_F(Program, ATerminationSignalEndsThroughTheExitSaves) {
    // Config.ini lacks keys: only the exit save writes them.
    WriteTextFile(Path("Config.ini"), QStringLiteral("[Public]\nMainLine=4\nMainRow=2\n"));
    WriteRosterFile(dir_.path(), NumberedClass(3));
    QFile roster(Path("StudentInfo.ini"));
    ASSERT_TRUE(roster.open(QIODevice::Append));
    roster.write(QByteArray("; \0\n", 4)); // reported on stderr once the program runs
    roster.close();
    ReplayScript().Wait(60000).Save(Path("silent.replay"));

    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMORA_ANSWER_PROMPTS"), QStringLiteral("ok"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("PENLYNX_RECEIVER"), "replay:" + Path("silent.replay"));
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // timeout passes the signal on to the program; its process id goes to a file.
    process.start(QStringLiteral("xvfb-run"),
                  {"-a", "-s", "-screen 0 1280x800x24", "sh", "-c",
                   "echo $$ > \"$0\"; exec timeout " + QString::number(kProgramSeconds) + " \"$@\"",
                   Path("timeout.pid"), LUMORA_PROGRAM, "--data-dir", dir_.path()});
    QString output;
    while (!output.contains(u"prompt: ") && process.waitForReadyRead(kProgramSeconds * 1000)) {
        output += QString::fromLocal8Bit(process.readAll());
    }
    ASSERT_TRUE(output.contains(u"prompt: Warning: ")) << output.toStdString();
    const pid_t pid = ReadTextFile(Path("timeout.pid")).trimmed().toInt();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    ASSERT_TRUE(process.waitForFinished(60000));
    output += QString::fromLocal8Bit(process.readAll());
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
    ExpectWrittenAtExit(dir_.path(), 4, 2, QStringLiteral("Student 3"));
}

// Every file of the data folder with its bytes.
QMap<QString, QByteArray> Snapshot(const QString &folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        files.insert(it.filePath(), file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return files;
}

// Two programs on one data folder: the second says the first runs there and
// ends without writing; the history may open beside it.
TEST_F(Program, ASecondStartOnTheSameDataFolderEndsWithoutWriting) {
    WriteTextFile(Path("Config.ini"), QStringLiteral("[Public]\nMainLine=4\nMainRow=2\n"));
    WriteRosterFile(dir_.path(), NumberedClass(3));
    QFile roster(Path("StudentInfo.ini"));
    ASSERT_TRUE(roster.open(QIODevice::Append));
    roster.write(QByteArray("; \0\n", 4)); // a prompt once the first is up
    roster.close();
    ReplayScript().Wait(60000).Save(Path("silent.replay"));

    QProcess first;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMORA_ANSWER_PROMPTS"), QStringLiteral("ok"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("PENLYNX_RECEIVER"), "replay:" + Path("silent.replay"));
    first.setProcessEnvironment(env);
    first.setProcessChannelMode(QProcess::MergedChannels);
    first.start(QStringLiteral("xvfb-run"),
                {"-a", "-s", "-screen 0 1280x800x24", "sh", "-c",
                 "echo $$ > \"$0\"; exec timeout " + QString::number(kProgramSeconds) + " \"$@\"",
                 Path("timeout.pid"), LUMORA_PROGRAM, "--data-dir", dir_.path()});
    QString output;
    while (!output.contains(u"prompt: ") && first.waitForReadyRead(kProgramSeconds * 1000)) {
        output += QString::fromLocal8Bit(first.readAll());
    }
    ASSERT_TRUE(output.contains(u"prompt: Warning: ")) << output.toStdString();
    // The first program opens its record once its window is up: wait until
    // the folder holds it and stays the same.
    QMap<QString, QByteArray> before = Snapshot(dir_.path());
    for (int i = 0; i < 40; ++i) {
        QThread::msleep(250);
        const QMap<QString, QByteArray> now = Snapshot(dir_.path());
        if (now == before && QFileInfo::exists(Path("Records/lessons.db"))) {
            break;
        }
        before = now;
    }

    const Outcome second =
        Start({"--data-dir", dir_.path()}, "replay:" + Path("silent.replay"), true);
    EXPECT_EQ(second.exitCode, 1) << second.output.toStdString();
    EXPECT_TRUE(
        second.output.contains(BuiltInMessageText(MessageKey::AlreadyRunning).section(u'\n', 0, 0)))
        << second.output.toStdString();
    EXPECT_EQ(Snapshot(dir_.path()), before);
    const Outcome history =
        Start({"--data-dir", dir_.path(), "--history", "--tour", Path("shots")}, QString());
    EXPECT_EQ(history.exitCode, 0) << history.output.toStdString();

    const pid_t pid = ReadTextFile(Path("timeout.pid")).trimmed().toInt();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(pid, SIGTERM), 0);
    ASSERT_TRUE(first.waitForFinished(60000));
    EXPECT_EQ(first.exitCode(), 0);
}

} // namespace
} // namespace lumora::test

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
