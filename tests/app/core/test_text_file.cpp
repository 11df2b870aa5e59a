// Text files: UTF-8 or GB18030 on reading, atomic replacement on writing.
#include "config/TextFile.h"

#include "config/DataFiles.h"
#include "config/Roster.h"

#include "CrashHelper.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#ifdef __linux__
#include <sched.h>
#include <sys/mount.h>
#endif

namespace lumora {
namespace {

using test::DataDir;
using test::U;

// "张三李四" in GB18030: not valid UTF-8.
const QByteArray kGbNames("\xD5\xC5\xC8\xFD\xC0\xEE\xCB\xC4");

TEST(TextFile, QtOnThisPlatformDecodesGb18030) {
    EXPECT_TRUE(HasGb18030Decoder());
    EXPECT_EQ(DecodeGb18030(kGbNames), U("张三李四"));
    // A 4-byte GB18030 sequence (U+20AC EURO SIGN is 0xA2E3 in GB18030).
    EXPECT_EQ(DecodeGb18030(QByteArray("\xA2\xE3")), QString(QChar(0x20AC)));
}

TEST(TextFile, ValidUtf8IsReadAsUtf8) {
    TextEncoding used = TextEncoding::Gb18030;
    EXPECT_EQ(DecodeText(U("张三=1").toUtf8(), &used), U("张三=1"));
    EXPECT_EQ(used, TextEncoding::Utf8);
    EXPECT_EQ(DecodeText(QByteArray("\xEF\xBB\xBF") + "abc", &used), QStringLiteral("abc"));
    EXPECT_EQ(used, TextEncoding::Utf8);
    EXPECT_EQ(DecodeText(QByteArray()), QString());
}

TEST(TextFile, OtherBytesAreReadAsGb18030) {
    TextEncoding used = TextEncoding::Utf8;
    EXPECT_EQ(DecodeText(QByteArray("Name=") + kGbNames, &used), U("Name=张三李四"));
    EXPECT_EQ(used, TextEncoding::Gb18030);
}

TEST(TextFile, ReadTellsMissingFromFailed) {
    DataDir dir;
    QByteArray bytes("stale");
    EXPECT_EQ(ReadFileBytes(dir.File("none.ini"), &bytes), ReadStatus::Missing);
    EXPECT_TRUE(bytes.isEmpty());
    dir.Write("sub/x.txt", "x");
    FileProblem problem;
    EXPECT_EQ(ReadFileBytes(dir.File("sub"), &bytes, &problem), ReadStatus::Failed);
    EXPECT_EQ(problem.What, FileProblem::Folder);
    EXPECT_EQ(ReadFileBytes(dir.File("sub/x.txt"), &bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes, QByteArray("x"));
}

TEST(TextFile, WriteReplacesTheFileWhole) {
    DataDir dir;
    dir.Write("a.ini", "old");
    ASSERT_TRUE(WriteFileAtomically(dir.File("a.ini"), "new content"));
    EXPECT_EQ(dir.Read("a.ini"), QByteArray("new content"));
    EXPECT_EQ(dir.Entries(), QStringList({QStringLiteral("a.ini")})); // no temporary left
}

TEST(TextFile, WriteIntoAMissingFolderFailsCleanly) {
    DataDir dir;
    QString error;
    EXPECT_FALSE(WriteFileAtomically(dir.File("no/such/a.ini"), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(TextFile, ACrashBeforeTheRenameLeavesTheOldFileWhole) {
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

QByteArray Utf16(const QString &text, bool bigEndian) {
    QByteArray bytes(bigEndian ? "\xFE\xFF" : "\xFF\xFE");
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

struct DecodeCase {
    const char *what;
    QByteArray bytes;
    QString text; // empty: not compared
    TextEncoding encoding;
    QList<int> zeroLines;
    QList<int> notTextLines;
};

TEST(TextFile, DecodesByByteOrderMarkElseLineByLine) {
    const QString names = U("[0001]\r\nName=张三\r\n");
    const DecodeCase cases[] = {
        {"one legacy line among UTF-8 ones",
         U("张三\n").toUtf8() + "Name=" + kGbNames + "\r\n" + U("王五").toUtf8(),
         U("张三\nName=张三李四\r\n王五"),
         TextEncoding::Gb18030,
         {},
         {}},
        {"a line no encoding maps", "ok\r\xFF\xFF\rfine", {}, TextEncoding::Gb18030, {}, {2}},
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + names.toUtf8(), names, TextEncoding::Utf8, {}, {}},
        {"UTF-16 LE", Utf16(names, false), names, TextEncoding::Utf16Le, {}, {}},
        {"UTF-16 BE", Utf16(names, true), names, TextEncoding::Utf16Be, {}, {}},
        {"UTF-16 with a lone surrogate and an odd byte",
         Utf16(U("a\n") + QChar(0xD800) + U("\nb"), false) + "x",
         {},
         TextEncoding::Utf16Le,
         {},
         {2, 3}},
        {"zero bytes",
         QByteArray("a\r\nb\0c\n\0", 9),
         U("a\r\nbc\n"),
         TextEncoding::Utf8,
         {2, 3},
         {}},
    };
    for (const DecodeCase &c : cases) {
        const DecodedText decoded = DecodeTextFile(c.bytes);
        if (!c.text.isEmpty()) {
            EXPECT_EQ(decoded.Text, c.text) << c.what;
        }
        EXPECT_EQ(decoded.Encoding, c.encoding) << c.what;
        EXPECT_EQ(decoded.ZeroLines, c.zeroLines) << c.what;
        EXPECT_EQ(decoded.NotTextLines, c.notTextLines) << c.what;
        EXPECT_EQ(decoded.IsComplete(), c.zeroLines.isEmpty() && c.notTextLines.isEmpty());
    }
    // The lines around a bad one keep every character.
    EXPECT_TRUE(DecodeText("ok\r\xFF\xFF\rfine").startsWith(u"ok\r"));
    EXPECT_TRUE(DecodeText("ok\r\xFF\xFF\rfine").endsWith(u"\rfine"));
}

// A roster of 100 students: some 6 KB, less than a write buffer.
void Fill(SlotTable &table) {
    table.SetCount(100);
    for (int i = 0; i < 100; ++i) {
        table[i].Name = QStringLiteral("student %1").arg(i);
    }
}

TEST(TextFile, AWriteThatFailsKeepsTheOldFileAndLeavesNoTemporary) {
    DataDir dir;
    const QByteArray old = "[0001]\nCardID=1\nName=Ann\n";
    dir.Write("StudentInfo.ini", old);
    const int result = test::RunInChild([&] {
        // Files may grow to 4 KB: the next write beyond fails as on a full disk.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SlotTable table;
        Fill(table);
        QString error;
        return SaveRoster(dir.Path(), table, -1, &error) ? 1 : error.isEmpty() ? 2 : 0;
    });
    EXPECT_EQ(result, 0) << "1: reported as saved, 2: no reason given";
    EXPECT_EQ(dir.Read("StudentInfo.ini"), old);
    EXPECT_EQ(dir.Entries(), QStringList{QStringLiteral("StudentInfo.ini")});
}

TEST(TextFile, AFullFileSystemKeepsTheOldFile) {
#ifdef __linux__
    DataDir dir;
    constexpr int kCannotMount = 77;
    // A 64 KB file system of its own, in a mount namespace of a child process
    // (it goes with the child); the checks run there.
    const int result = test::RunInChild([&] {
        const QByteArray target = QFile::encodeName(dir.Path());
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) {
            return kCannotMount;
        }
        const QByteArray old = "[0001]\nCardID=1\nName=Ann\n";
        if (!WriteFileAtomically(dir.File("StudentInfo.ini"), old)) {
            return 10;
        }
        QFile filler(dir.File("filler"));
        filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
        while (filler.write(QByteArray(1024, 'f')) == 1024) {
        }
        SlotTable table;
        Fill(table);
        QString error;
        if (SaveRoster(dir.Path(), table, -1, &error) || error.isEmpty()) {
            return 11;
        }
        if (dir.Read("StudentInfo.ini") != old) {
            return 12;
        }
        return dir.Entries().size() == 2 ? 0 : 13; // the file and the filler
    });
    if (result == kCannotMount) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    EXPECT_EQ(result, 0);
#else
    GTEST_SKIP() << "tmpfs is Linux only";
#endif
}

TEST(TextFile, AKilledSaveLeavesATemporaryThatTheNextStartRemoves) {
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

TEST(TextFile, KeepAsideMovesAFileOrFolderToAFreeName) {
    DataDir dir;
    const QDateTime now(QDate(2024, 3, 5), QTime(8, 7, 9));
    dir.Write("StudentInfo.ini", "first");
    QString kept;
    QString error;
    ASSERT_TRUE(KeepAside(dir.File("StudentInfo.ini"), &kept, &error, now));
    EXPECT_EQ(kept, dir.File("StudentInfo-kept-20240305-080709.ini"));
    dir.Write("StudentInfo.ini/inside", "a folder where the file should be");
    ASSERT_TRUE(KeepAside(dir.File("StudentInfo.ini"), &kept, &error, now));
    EXPECT_EQ(kept, dir.File("StudentInfo-kept-20240305-080709-2.ini"));
    EXPECT_EQ(dir.Read("StudentInfo-kept-20240305-080709.ini"), "first");
    EXPECT_EQ(dir.Read("StudentInfo-kept-20240305-080709-2.ini/inside").size(), 33);
    EXPECT_FALSE(dir.Exists("StudentInfo.ini"));
    EXPECT_FALSE(KeepAside(dir.File("StudentInfo.ini"), &kept, &error, now));
    EXPECT_FALSE(error.isEmpty());
}

} // namespace
} // namespace lumora
