// One program per data folder, with real processes: a second one is turned
// away while the first runs, and the lock of a killed one is taken over.
#include "platform/DataFolderLock.h"

#include "support/TestFiles.h"

#include <QFile>
#include <QLockFile>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace lumora {
namespace {

using Result = DataFolderLock::Result;

// A child process that takes the lock of dataDir, says what it got through a
// pipe and then waits to be killed. Its process id, and what it got.
std::pair<pid_t, Result> HoldInChild(const QString &dataDir) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return {-1, Result::Unavailable};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        DataFolderLock lock;
        const char got = static_cast<char>(lock.Take(dataDir));
        (void)!::write(channel[1], &got, 1);
        for (;;) {
            ::pause();
        }
    }
    char got = static_cast<char>(Result::Unavailable);
    (void)!::read(channel[0], &got, 1);
    ::close(channel[0]);
    ::close(channel[1]);
    return {child, static_cast<Result>(got)};
}

void Kill(pid_t child) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

TEST(DataFolderLock, OneProgramPerFolderAndAKilledOnesLockIsTakenOver) {
    test::DataDir dir;
    test::DataDir other;
    const auto [first, firstGot] = HoldInChild(dir.Path());
    ASSERT_GT(first, 0);
    EXPECT_EQ(firstGot, Result::Taken);
    {
        DataFolderLock second;
        EXPECT_EQ(second.Take(dir.Path()), Result::HeldByAnother);
        DataFolderLock elsewhere;
        EXPECT_EQ(elsewhere.Take(other.Path()), Result::Taken); // another folder is free
    }
    Kill(first);
    // The killed program's lock file is still there; it is stale now.
    EXPECT_TRUE(dir.Exists(QStringLiteral("Lumora.lock")));
    DataFolderLock after;
    EXPECT_EQ(after.Take(dir.Path()), Result::Taken);
    const auto [late, lateGot] = HoldInChild(dir.Path());
    ASSERT_GT(late, 0);
    Kill(late);
    EXPECT_EQ(lateGot, Result::HeldByAnother);
    // Given up while the object lives: the file goes, the next program gets it.
    after.Release();
    EXPECT_FALSE(dir.Exists(QStringLiteral("Lumora.lock")));
    const auto [next, nextGot] = HoldInChild(dir.Path());
    ASSERT_GT(next, 0);
    Kill(next);
    EXPECT_EQ(nextGot, Result::Taken);
}

TEST(DataFolderLock, ALockLeftInThisProcesssNumberIsTakenOverUnlessThisProcessHoldsIt) {
    test::DataDir dir;
    const QString lockPath = dir.File(QStringLiteral("Lumora.lock"));
    QByteArray left; // a lock file naming this process, as a killed one with its number leaves it
    {
        QLockFile earlier(lockPath);
        ASSERT_TRUE(earlier.tryLock(0));
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        left = file.readAll();
    }
    QFile file(lockPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(left), left.size());
    file.close();

    DataFolderLock lock;
    EXPECT_EQ(lock.Take(dir.Path()), Result::Taken);
    DataFolderLock second; // the same process holds it now: never taken over
    EXPECT_EQ(second.Take(dir.Path()), Result::HeldByAnother);
}

} // namespace
} // namespace lumora
