// Checked atomic writes on real files: the old file stays whole whatever
// happens before the rename, and a killed save's temporary file is removed at
// the next start.
#include "platform/AtomicFile.h"
#include "platform/DataFiles.h"

#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;

TEST(AtomicFile, WriteReplacesTheFileWhole) {
    DataDir dir;
    dir.Write("a.ini", "old");
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.ini"), "new content"));
    EXPECT_EQ(dir.Read("a.ini"), QByteArray("new content"));
    EXPECT_EQ(dir.Entries(), QStringList({QStringLiteral("a.ini")})); // no temporary left
}

TEST(AtomicFile, WriteIntoAMissingFolderFailsCleanly) {
    DataDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/a.ini"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(AtomicFile, ACrashBeforeTheRenameLeavesTheOldFileWhole) {
    DataDir dir;
    const QByteArray old = QByteArray("[Public]\nMainLine=7\n");
    dir.Write("a.ini", old);
    const QByteArray large(1 << 20, 'n');
    ASSERT_TRUE(
        test::RunAndCrashBeforeReplace([&] { WriteFileAtomically(dir.File("a.ini"), large); }));
    EXPECT_EQ(dir.Read("a.ini"), old);
    // The next write still works.
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.ini"), "after"));
    EXPECT_EQ(dir.Read("a.ini"), QByteArray("after"));
}

TEST(AtomicFile, AKilledSaveLeavesATemporaryThatTheNextStartRemoves) {
    DataDir dir;
    dir.Write("StudentInfo.ini", "old");
    dir.Write("StudentInfo.ini.backup", "the teacher's");
    ASSERT_TRUE(test::RunAndCrashBeforeReplace(
        [&] { WriteFileAtomically(dir.File("StudentInfo.ini"), "new"); }));
    ASSERT_EQ(dir.Entries().size(), 3);
    EXPECT_EQ(RemoveUnfinishedSaves(dir.Path()).size(), 1);
    EXPECT_EQ(dir.Entries(), QStringList({"StudentInfo.ini", "StudentInfo.ini.backup"}));
    EXPECT_EQ(dir.Read("StudentInfo.ini"), "old");
}

} // namespace
} // namespace lumora
