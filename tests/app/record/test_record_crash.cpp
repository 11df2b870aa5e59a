// A program killed in the middle of a busy subjective question leaves a
// database that opens and holds everything committed before the kill.
#include "RecordTest.h"
#include "record/RecordDatabase.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <sys/wait.h>

namespace lumora {
namespace {

// The child is started through popen, not QProcess: the fork then happens
// in our own code, where ThreadSanitizer follows it (it ignores what Qt's
// libraries call), and the recorder run after it is checked properly.
TEST(RecordCrash, KillNineKeepsEverythingCommitted) {
    test::DataDir dir;
    const QByteArray command = "LUMORA_RECORD_CHILD='" + QFile::encodeName(dir.Path()) +
                               "' exec '" +
                               QFile::encodeName(QCoreApplication::applicationFilePath()) + "'";
    FILE *child = ::popen(command.constData(), "r");
    ASSERT_NE(child, nullptr);
    // Wait for a few commits under load, then kill it without warning.
    char line[128];
    long long pid = 0;
    qulonglong committed = 0;
    int commits = 0;
    while (commits < 5 && std::fgets(line, sizeof line, child) != nullptr) {
        if (std::sscanf(line, "pid %lld", &pid) == 1) {
            continue;
        }
        ASSERT_EQ(std::sscanf(line, "committed %llu", &committed), 1) << line;
        ++commits;
    }
    ASSERT_GT(pid, 0);
    ASSERT_EQ(commits, 5);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    const int status = ::pclose(child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;

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
