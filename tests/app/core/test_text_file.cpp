// Text files: UTF-8 or GB18030 on reading, atomic replacement on writing.
#include "config/TextFile.h"

#include "CrashHelper.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

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
    QString error;
    EXPECT_EQ(ReadFileBytes(dir.File("sub"), &bytes, &error), ReadStatus::Failed);
    EXPECT_FALSE(error.isEmpty());
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

} // namespace
} // namespace lumora
