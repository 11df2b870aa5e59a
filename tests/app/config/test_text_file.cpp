// Text files: UTF-8 or GB18030 on reading, atomic replacement on writing.
#include "config/TextFile.h"

#include "config/Roster.h"
#include "platform/DataFiles.h"

#include <utility>

#include "support/CrashHelper.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
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

// Only ordinary files of a bounded size are read, and nothing waits: a named
// pipe without a writer and an endless device are refused at once (in a
// child that an alarm ends, should a read ever wait).
TEST(TextFile, ReadsOnlyOrdinaryFilesOfABoundedSize) {
    DataDir dir;
    struct Case {
        const char *name;
        mode_t make; // 0: an ordinary file of `size` bytes
        qint64 size;
        ReadStatus status;
        FileProblem::Kind problem;
    };
    const Case cases[] = {
        {"roster.ini", 0, 1000, ReadStatus::Ok, FileProblem::None},
        {"limit.ini", 0, kMaxTextFileBytes, ReadStatus::Ok, FileProblem::None},
        {"large.ini", 0, kMaxTextFileBytes + 1, ReadStatus::Failed, FileProblem::TooLarge},
        {"pipe.txt", S_IFIFO, 0, ReadStatus::Failed, FileProblem::NotOrdinary},
        {"zero.txt", S_IFCHR, 0, ReadStatus::Failed, FileProblem::NotOrdinary},
    };
    for (const Case &c : cases) {
        const QByteArray path = QFile::encodeName(dir.File(c.name));
        if (c.make == 0) {
            dir.Write(c.name, QByteArray(c.size, 'x'));
        } else if (::mknod(path.constData(), c.make | 0600,
                           c.make == S_IFCHR ? makedev(1, 5) : 0) != 0) {
            std::printf("skipped %s: this machine does not allow making it\n", c.name);
            continue;
        }
        const int result = test::RunInChild([&] {
            ::alarm(20);
            QByteArray bytes("stale");
            FileProblem problem;
            const ReadStatus status = ReadFileBytes(dir.File(c.name), &bytes, &problem);
            return status != c.status                                               ? 1
                   : problem.What != c.problem                                      ? 2
                   : bytes.size() != (c.status == ReadStatus::Ok ? c.size : 0)      ? 3
                   : c.problem != FileProblem::None && problem.Describe().isEmpty() ? 4
                                                                                    : 0;
        });
        EXPECT_EQ(result, 0) << c.name;
    }
}

TEST(TextFile, DecodesByByteOrderMarkElseLineByLine) {
    // One legacy line among UTF-8 ones: every character of both stays.
    TextEncoding used = TextEncoding::Utf8;
    EXPECT_EQ(DecodeText(U("张三\n").toUtf8() + kGbNames + "\r\n" + U("王五").toUtf8(), &used),
              U("张三\n张三李四\r\n王五"));
    EXPECT_EQ(used, TextEncoding::Gb18030);
    const QString names = U("[0001]\r\nName=张三\r\n");
    const std::pair<QByteArray, TextEncoding> marked[] = {
        {test::Utf16(names), TextEncoding::Utf16Le},
        {test::Utf16(names, true), TextEncoding::Utf16Be}};
    for (const auto &[bytes, encoding] : marked) {
        EXPECT_EQ(DecodeText(bytes, &used), names);
        EXPECT_EQ(used, encoding);
    }
    // What is no text is noted with its line; the lines around it stay whole.
    const DecodedText bad = DecodeTextFile("ok\r\xFF\xFF\rfine");
    EXPECT_EQ(bad.NotTextLines, QList<int>{2});
    EXPECT_TRUE(bad.Text.startsWith(u"ok\r") && bad.Text.endsWith(u"\rfine"));
    const QString lone = U("a\n") + QChar(0xD800) + U("\nb");
    EXPECT_EQ(DecodeTextFile(test::Utf16(lone) + "x").NotTextLines, QList<int>({2, 3}));
    const DecodedText zeros = DecodeTextFile(QByteArray("a\r\nb\0c\n\0", 9));
    EXPECT_EQ(zeros.Text, U("a\r\nbc\n"));
    EXPECT_EQ(zeros.ZeroLines, QList<int>({2, 3}));
}

// Saves a roster of 100 students (some 6 KB, less than a write buffer) over
// the old file where writing it cannot succeed: 0 when the save says so with
// a reason and leaves the old file and no temporary; 11: reported as saved,
// 12: no reason given, 13: the old file changed, 14: a temporary left.
constexpr char kOldRoster[] = "[0001]\nCardID=1\nName=Ann\n";
int SaveFailsKeepingTheOldFile(const DataDir &dir, int otherFiles) {
    SlotTable table;
    table.SetCount(100);
    for (int i = 0; i < 100; ++i) {
        table[i].Name = QStringLiteral("student %1").arg(i);
    }
    QString error;
    const bool saved = SaveRoster(dir.Path(), table, -1, &error);
    return saved                                       ? 11
           : error.isEmpty()                           ? 12
           : dir.Read("StudentInfo.ini") != kOldRoster ? 13
           : dir.Entries().size() != 1 + otherFiles    ? 14
                                                       : 0;
}

TEST(TextFile, AWriteThatFailsKeepsTheOldFileAndLeavesNoTemporary) {
    DataDir dir;
    dir.Write("StudentInfo.ini", kOldRoster);
    EXPECT_EQ(test::RunInChild([&] {
                  // Files may grow to 4 KB: the next write beyond fails as on a full disk.
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{4096, 4096};
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  return SaveFailsKeepingTheOldFile(dir, 0);
              }),
              0);
}

TEST(TextFile, AFullFileSystemKeepsTheOldFile) {
#ifdef __linux__
    // A 64 KB file system in a mount namespace of a child process, which
    // goes with it; the checks run there. 77: no mount allowed here.
    DataDir dir;
    const int result = test::RunInChild([&] {
        const QByteArray target = QFile::encodeName(dir.Path());
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", target.constData(), "tmpfs", 0, "size=64k") != 0) {
            return 77;
        }
        QFile filler(dir.File("filler"));
        if (!WriteFileAtomically(dir.File("StudentInfo.ini"), kOldRoster) ||
            !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return 10;
        }
        while (filler.write(QByteArray(1024, 'f')) == 1024) {
        }
        return SaveFailsKeepingTheOldFile(dir, 1);
    });
    if (result == 77) {
        GTEST_SKIP() << "no tmpfs can be mounted here";
    }
    EXPECT_EQ(result, 0);
#else
    GTEST_SKIP() << "tmpfs is Linux only";
#endif
}

} // namespace
} // namespace lumora
