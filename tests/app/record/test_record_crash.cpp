// A program killed in the middle of a busy subjective question leaves a
// database that opens and holds everything committed before the kill.
#include "RecordTest.h"
#include "record/RecordDatabase.h"

#include "../core/TestFiles.h"

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace lumora {
namespace {

TEST(RecordCrash, KillNineKeepsEverythingCommitted) {
    test::DataDir dir;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LUMORA_RECORD_CHILD"), dir.Path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    ASSERT_TRUE(child.waitForStarted());
    // Wait for a few commits under load, then kill it without warning.
    qulonglong committed = 0;
    int commits = 0;
    while (commits < 5 && child.waitForReadyRead(30000)) {
        while (child.canReadLine()) {
            const QByteArray line = child.readLine().trimmed();
            ASSERT_TRUE(line.startsWith("committed ")) << line.toStdString();
            committed = line.mid(10).toULongLong();
            ++commits;
        }
    }
    ASSERT_EQ(commits, 5);
    child.kill(); // SIGKILL
    ASSERT_TRUE(child.waitForFinished());
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const QString db = RecordDatabasePath(dir.Path());
    EXPECT_EQ(test::Value(db, "PRAGMA integrity_check").toString(), QStringLiteral("ok"));
    // The question start is one event, every other one a pen point.
    const qulonglong points =
        test::Value(db, "SELECT SUM(LENGTH(points)) / 8 FROM pen_stroke").toULongLong();
    EXPECT_GE(points + 1, committed);
    EXPECT_EQ(test::Value(db, "SELECT COUNT(*) FROM student").toInt(), 100);

    // The next run records on into the same file.
    SlotTable table;
    test::FillTable(table, {{"a", 1}});
    Recorder recorder(dir.Path());
    recorder.Start();
    recorder.QuestionStarted(0, QStringLiteral("A"), table);
    recorder.Stop();
    EXPECT_TRUE(recorder.Problems().empty());
    EXPECT_EQ(test::Value(db, "SELECT MAX(number) FROM lesson").toInt(), 2);
}

} // namespace
} // namespace lumora
