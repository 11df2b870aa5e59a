// The record tests, and the child process of the crash test: with
// LUMORA_RECORD_CHILD=DIR set, the program records a busy subjective question
// into DIR, prints its "pid P", then "committed N" after every commit, and
// runs until it is killed.
#include "RecordTest.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

namespace {

[[noreturn]] void RecordUntilKilled(const QString &dataDir) {
    lumora::SlotTable table;
    std::vector<lumora::test::Student> students(100, {"s", 1});
    lumora::test::FillTable(table, students);
    lumora::Recorder::Options options;
    options.tick = std::chrono::milliseconds(20);
    lumora::Recorder recorder(dataDir, options);
    recorder.Start();
    recorder.QuestionStarted(2, QString(), table);
    std::printf("pid %lld\n", static_cast<long long>(::getpid()));
    std::fflush(stdout);
    uint64_t commits = 0;
    for (int i = 0;; ++i) {
        recorder.PenPoint(i % 100, i % 400, i % 300);
        if (i % 100 == 0) {
            QThread::usleep(500);
            const lumora::RecorderCounters counters = recorder.Counters();
            if (counters.commits != commits) {
                commits = counters.commits;
                std::printf("committed %llu\n", static_cast<unsigned long long>(counters.recorded));
                std::fflush(stdout);
            }
        }
    }
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString child = qEnvironmentVariable("LUMORA_RECORD_CHILD");
    if (!child.isEmpty()) {
        RecordUntilKilled(child);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
