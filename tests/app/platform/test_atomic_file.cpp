// Checked atomic writes on real files: the old file stays whole whatever
// happens before the rename, and a killed save's temporary file is removed at
// the next start.
#include "platform/AtomicFile.h"
#include "platform/DataFiles.h"

#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

namespace lumora {
namespace {

using test::DataDir;
using test::U;

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

// A link is saved through to its file; a read-only file is never rewritten.
TEST(AtomicFile, LinksAreSavedThroughAndReadOnlyFilesKept) {
    struct Case {
        const char *what;
        bool link;         // StudentInfo.ini links to shared/roster.ini
        bool sharedExists; // the file the link points to exists
        bool readOnly;     // shared/roster.ini is 0444
        bool ok;
    };
    const Case cases[] = {
        {"a link to a file", true, true, false, true},
        {"a link to a file not there yet", true, false, false, true},
        {"a read-only file", false, true, true, false},
        {"a link to a read-only file", true, true, true, false},
    };
    for (const Case &c : cases) {
#ifdef _WIN32
        // QFile::link makes a shortcut (*.lnk) on Windows, a file of its own;
        // symbolic links there need a privilege that teachers lack.
        if (c.link) {
            continue;
        }
#endif
        DataDir dir;
        const QString shared = dir.File("shared/roster.ini");
        QDir().mkpath(dir.File("shared"));
        if (c.sharedExists) {
            dir.Write("shared/roster.ini", "old");
        }
        const QString roster = c.link ? dir.File("StudentInfo.ini") : shared;
        if (c.link) {
            ASSERT_TRUE(QFile::link(QStringLiteral("shared/roster.ini"), roster));
        }
        if (c.readOnly) {
            QFile::setPermissions(shared, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        }
        QString error;
        EXPECT_EQ(WriteFileAtomically(roster, "new", &error), c.ok) << c.what;
        EXPECT_EQ(dir.Read("shared/roster.ini"), c.ok ? "new" : "old") << c.what;
        EXPECT_EQ(QFileInfo(roster).isSymLink(), c.link) << c.what;
        EXPECT_EQ(QDir(dir.File("shared")).entryList(QDir::Files | QDir::Hidden),
                  QStringList{"roster.ini"})
            << c.what;
        if (!c.ok) {
            EXPECT_TRUE(error.contains("read-only")) << error.toStdString();
        }
    }
}

// A target that cannot be replaced keeps its old contents and no temporary
// file stays: a folder where the file belongs; on Windows also a file that
// another program holds open without letting it be replaced (an editor, a
// virus scanner), which only fails at the move.
TEST(AtomicFile, ATargetThatCannotBeReplacedStaysAsItWas) {
    struct Case {
        const char *what;
        bool folder; // a.ini is a folder
        bool held;   // a.ini is open elsewhere (Windows)
    };
    const Case cases[] = {
        {"a folder where the file belongs", true, false},
#ifdef _WIN32
        {"a file another program holds open", false, true},
#endif
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DataDir dir;
        dir.Write(c.folder ? "a.ini/inside" : "a.ini", "old");
#ifdef _WIN32
        const HANDLE held =
            c.held
                ? ::CreateFileW(QDir::toNativeSeparators(dir.File("a.ini")).toStdWString().c_str(),
                                GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr)
                : INVALID_HANDLE_VALUE;
        ASSERT_EQ(held != INVALID_HANDLE_VALUE, c.held);
#endif
        QString error;
        EXPECT_FALSE(WriteFileAtomically(dir.File("a.ini"), "new", &error));
        EXPECT_FALSE(error.isEmpty());
        QString failed;
        EXPECT_FALSE(WriteFilesAtomically({{dir.File("b.ini"), "b"}, {dir.File("a.ini"), "new"}},
                                          &error, &failed));
        EXPECT_EQ(failed, dir.File("a.ini"));
#ifdef _WIN32
        if (held != INVALID_HANDLE_VALUE) {
            ::CloseHandle(held);
        }
#endif
        EXPECT_EQ(dir.Read(c.folder ? "a.ini/inside" : "a.ini"), "old");
        EXPECT_EQ(QFileInfo(dir.File("a.ini")).isDir(), c.folder);
        // Neither a temporary file nor the other file of the pair.
        EXPECT_EQ(dir.Entries(), QStringList{"a.ini"});
    }
}

// Chinese characters in folder and file names, in every step: the temporary
// file, the replace, the second name that brings a file back.
TEST(AtomicFile, PathsWithChineseCharacters) {
    DataDir dir;
    const QString folder = dir.File(U("三年级二班"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString roster = folder + U("/学生名单.ini");
    const QString marks = folder + U("/成绩.csv");
    ASSERT_TRUE(WriteFileAtomically(roster, "old"));
    QString error;
    ASSERT_TRUE(WriteFileAtomically(roster, "new", &error)) << error.toStdString();
    ASSERT_TRUE(WriteFilesAtomically({{roster, "a"}, {marks, "b"}}, &error)) << error.toStdString();
    FailReplaceAtForTesting(1);
    EXPECT_FALSE(WriteFilesAtomically({{roster, "x"}, {marks, "y"}}, &error));
    FailReplaceAtForTesting(-1);
    const auto read = [](const QString &path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_EQ(read(roster), "a");
    EXPECT_EQ(read(marks), "b");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({U("学生名单.ini"), U("成绩.csv")}));
}

// Several files change together: a failure at any step, before or after the
// first target was replaced, leaves every target as it was and no temporary.
TEST(AtomicFile, FilesWrittenTogetherChangeAllOrNone) {
    struct Case {
        const char *what;
        int failReplaceAt;
        const char *second; // where the second file goes
        bool ok;
    };
    const Case cases[] = {
        {"both written", -1, "b.csv", true},
        {"the second's folder is missing", -1, "no/b.csv", false},
        {"the first replace fails", 0, "b.csv", false},
        {"the second replace fails", 1, "b.csv", false},
    };
    for (const Case &c : cases) {
        DataDir dir;
        dir.Write("a.csv", "old a");
        dir.Write("b.csv", "old b");
        FailReplaceAtForTesting(c.failReplaceAt);
        QString error;
        QString failed;
        const bool ok = WriteFilesAtomically(
            {{dir.File("a.csv"), "new a"}, {dir.File(c.second), "new b"}}, &error, &failed);
        FailReplaceAtForTesting(-1);
        EXPECT_EQ(ok, c.ok) << c.what;
        EXPECT_EQ(dir.Read("a.csv"), c.ok ? "new a" : "old a") << c.what;
        EXPECT_EQ(dir.Read("b.csv"), c.ok ? "new b" : "old b") << c.what;
        EXPECT_EQ(dir.Entries(), QStringList({"a.csv", "b.csv"})) << c.what;
        if (!ok) {
            EXPECT_FALSE(error.isEmpty()) << c.what;
            EXPECT_EQ(failed, c.failReplaceAt == 0 ? dir.File("a.csv") : dir.File(c.second));
        }
    }
}

} // namespace
} // namespace lumora
