// The small parts of the platform layer where the systems differ: the
// system's error texts, legacy code pages, paths for other interfaces, the
// command line, the per-user data folder, the program's font and reading only
// ordinary files. Each runs on Linux and, cross-built, under Wine.
#include "platform/Arguments.h"
#include "platform/CodePage.h"
#include "platform/Console.h"
#include "platform/DataDir.h"
#include "platform/NativePath.h"
#include "platform/OrdinaryFile.h"
#include "platform/ProgramFont.h"
#include "platform/SystemError.h"

#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumora {
namespace {

using test::DataDir;
using test::U;

TEST(SystemError, TheSystemsOwnWords) {
    const QString denied = AccessDeniedError();
    const QString full = DiskFullError();
    EXPECT_FALSE(denied.isEmpty());
    EXPECT_FALSE(full.isEmpty());
    EXPECT_NE(denied, full);
#ifdef _WIN32
    // FormatMessageW's texts, not the errno table read with Windows numbers.
    EXPECT_EQ(denied, WindowsErrorText(5)); // ERROR_ACCESS_DENIED
    EXPECT_EQ(full, WindowsErrorText(112)); // ERROR_DISK_FULL
    EXPECT_FALSE(WindowsErrorText(2).contains(QStringLiteral("Windows error")));
#endif
    EXPECT_FALSE(ErrnoText(2).isEmpty()); // ENOENT
}

TEST(CodePage, Gb18030ThroughTheSystemWhereQtHasNoDecoder) {
    const QByteArray names("\xD5\xC5\xC8\xFD\xC0\xEE\xCB\xC4"); // 张三李四
    QString text = QStringLiteral("untouched");
    bool failed = true;
#ifdef _WIN32
    ASSERT_TRUE(SystemDecodes(kGb18030CodePage));
    ASSERT_TRUE(DecodeWithSystem(kGb18030CodePage, names, &text, &failed));
    EXPECT_EQ(text, U("张三李四"));
    EXPECT_FALSE(failed);
    ASSERT_TRUE(DecodeWithSystem(kGb18030CodePage, QByteArray("\x81"), &text, &failed));
    EXPECT_TRUE(failed);
    ASSERT_TRUE(DecodeWithSystem(kGb18030CodePage, QByteArray(), &text, &failed));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_FALSE(failed);
#else
    // Qt's ICU decodes it; the system is never asked.
    EXPECT_FALSE(SystemDecodes(kGb18030CodePage));
    EXPECT_FALSE(DecodeWithSystem(kGb18030CodePage, names, &text, &failed));
    EXPECT_EQ(text, QStringLiteral("untouched"));
#endif
}

TEST(NativePath, KeepsChineseCharactersForStdFilesystem) {
    DataDir dir;
    const QString file = dir.File(U("学生名单.ini"));
    dir.Write(U("学生名单.ini"), "roster");
    const std::filesystem::path path = FileSystemPath(file);
    EXPECT_TRUE(std::filesystem::is_regular_file(path));
    EXPECT_EQ(std::filesystem::file_size(path), 6u);
    std::error_code code;
    std::filesystem::create_hard_link(path, FileSystemPath(dir.File(U("名单副本.ini"))), code);
    EXPECT_FALSE(code) << code.message();
    EXPECT_EQ(dir.Read(U("名单副本.ini")), "roster");
#ifdef _WIN32
    EXPECT_EQ(Utf8FileNameOnWindows(file), file.toUtf8());
#else
    EXPECT_EQ(Utf8FileNameOnWindows(file), QFile::encodeName(file));
#endif
}

TEST(Arguments, TheCommandLineAsText) {
    // Five arguments, which this test's own command line does not have (on
    // Windows the wide command line is used when it has as many as argv).
    char program[] = "Lumora";
    char option[] = "--data-dir";
    char dir[] = "data";
    char other[] = "--class";
    char name[] = "7B";
    char *argv[] = {program, option, dir, other, name, nullptr};
    EXPECT_EQ(ProgramArguments(5, argv),
              QStringList({"Lumora", "--data-dir", "data", "--class", "7B"}));
    EXPECT_EQ(ProgramArguments(0, argv), QStringList());
}

TEST(UserDataDir, NamedAfterTheApplication) {
    const QString before = QCoreApplication::applicationName();
    const QString organisation = QCoreApplication::organizationName();
    QCoreApplication::setApplicationName(QStringLiteral("Lumora"));
    QCoreApplication::setOrganizationName(QStringLiteral("Lumora"));
    const QString dir = UserDataDir();
#ifdef _WIN32
    // %APPDATA%\Lumora: no organisation folder in between.
    EXPECT_EQ(dir, QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA")) +
                       QStringLiteral("/Lumora"));
#else
    EXPECT_EQ(dir, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    EXPECT_TRUE(dir.endsWith(QStringLiteral("/Lumora/Lumora"))) << dir.toStdString();
#endif
    QCoreApplication::setApplicationName(before);
    QCoreApplication::setOrganizationName(organisation);
}

TEST(ProgramFont, TheFamiliesTheLayoutExpects) {
#ifdef _WIN32
    EXPECT_EQ(ProgramFontFamilies(), QStringList({"SimSun", "Microsoft YaHei"}));
#else
    EXPECT_EQ(ProgramFontFamilies(), QStringList({"WenQuanYi Zen Hei Mono"}));
#endif
}

TEST(Console, ThePrintingCommandsHaveAnOutput) {
    // Under ctest the output is a pipe (under Wine: Wine's Unix stream), which
    // is kept as it is.
    EXPECT_TRUE(UseParentConsole());
    EXPECT_GE(std::printf("%s", ""), 0);
}

TEST(OrdinaryFile, OnlyOrdinaryFilesAreRead) {
    DataDir dir;
    dir.Write(U("名单.ini"), "[Public]\n");
    QByteArray bytes;
    QString error;
    EXPECT_EQ(ReadOrdinaryFile(dir.File(U("名单.ini")), 100, &bytes, &error), OrdinaryRead::Ok);
    EXPECT_EQ(bytes, "[Public]\n");
    EXPECT_EQ(ReadOrdinaryFile(dir.File(U("名单.ini")), 4, &bytes, &error), OrdinaryRead::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    ASSERT_TRUE(QDir().mkpath(dir.File("folder")));
    EXPECT_EQ(ReadOrdinaryFile(dir.File("folder"), 100, &bytes, &error), OrdinaryRead::NotOrdinary);
    EXPECT_EQ(ReadOrdinaryFile(dir.File("missing"), 100, &bytes, &error), OrdinaryRead::Failed);
    EXPECT_FALSE(error.isEmpty());
#ifdef _WIN32
    // A device opens like a file on Windows (by its device name; Qt makes
    // every other name a path in the file system).
    EXPECT_EQ(ReadOrdinaryFile(QStringLiteral("\\\\.\\NUL"), 100, &bytes, &error),
              OrdinaryRead::NotOrdinary);
#else
    EXPECT_EQ(ReadOrdinaryFile(QStringLiteral("/dev/null"), 100, &bytes, &error),
              OrdinaryRead::NotOrdinary);
#endif
}

} // namespace
} // namespace lumora
