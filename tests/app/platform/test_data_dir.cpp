// The data folder: which folder is chosen, where an installed program finds
// its shipped languages, and how a new data folder is seeded from them.
#include "platform/DataDir.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace lumora {
namespace {

using test::DataDir;

QByteArray SourceLanguage(const char *name) {
    QFile file(QStringLiteral(LUMORA_LANGUAGE_DIR "/%1/Language.xml").arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DataDirChoice, OverridePortableAndUserFoldersAndOneThatCannotBeMade) {
    struct Case {
        const char *what;
        const char *override;
        bool exeHasLanguage;
        const char *expected; // under the root; nullptr: none, and an error
    } const cases[] = {
        {"--data-dir wins over a portable folder", "given/deeper", true, "given/deeper"},
        {"a program folder with Language/ is portable", nullptr, true, "exe"},
        {"an installed program uses the user folder", nullptr, false, "user/Lumora"},
        {"a folder that cannot be made", "file/data", true, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        DataDir root;
        root.Write("exe/Lumora", "");
        root.Write("file", "not a folder");
        if (c.exeHasLanguage) {
            root.Write("exe/Language/zh_CN/Language.xml", "<x/>");
        }
        const QString override = c.override != nullptr ? root.File(c.override) : QString();
        // Foreseen before the program decides, without making anything.
        const QString foreseen =
            ChooseDataDir(override, root.File("exe"), root.File("user/Lumora"));
        EXPECT_EQ(QFileInfo::exists(foreseen), c.exeHasLanguage && c.override == nullptr);
        QString error;
        const QString chosen =
            ResolveDataDir(override, root.File("exe"), root.File("user/Lumora"), &error);
        if (c.expected == nullptr) {
            EXPECT_TRUE(chosen.isEmpty());
            EXPECT_TRUE(error.contains(QStringLiteral("file"))) << error.toStdString();
            continue;
        }
        EXPECT_EQ(chosen, QDir(root.File(c.expected)).absolutePath());
        EXPECT_EQ(foreseen, chosen);
        EXPECT_TRUE(QFileInfo(chosen).isDir()) << "the chosen folder is created";
        EXPECT_TRUE(error.isEmpty());
    }
}

#ifdef _WIN32
// The installer's layout on Windows: the program at the top of its folder,
// the languages under share/lumora/ there; a portable copy has them beside
// the program (which makes its folder the data folder) and no data root.
TEST(InstalledLanguages, FoundUnderShareBesideTheWindowsProgram) {
    DataDir root;
    root.Write("Lumora/Lumora.exe", "");
    root.Write("Lumora/share/lumora/Language/zh_CN/Language.xml", "<x/>");
    EXPECT_EQ(InstalledLanguageDir(root.File("Lumora")),
              QDir::cleanPath(root.File("Lumora/share/lumora/Language")));
    root.Write("portable/Lumora.exe", "");
    root.Write("portable/Language/zh_CN/Language.xml", "<x/>");
    EXPECT_TRUE(InstalledLanguageDir(root.File("portable")).isEmpty());
}
#endif

TEST(InstalledLanguages, FoundRelativeToTheProgramWhereverThePrefixMoved) {
    DataDir root;
    root.Write("usr/bin/Lumora", "");
    root.Write("usr/share/lumora/Language/zh_CN/Language.xml", "<x/>");
    // The layout of a GNU install: bin/ beside share/lumora/.
    EXPECT_EQ(InstalledLanguageDir(root.File("usr/bin"), QStringLiteral("../share/lumora")),
              QDir::cleanPath(root.File("usr/share/lumora/Language")));

    ASSERT_TRUE(QDir().mkpath(root.File("opt")));
    ASSERT_TRUE(QDir(root.Path()).rename("usr", "opt/moved"));
    EXPECT_EQ(InstalledLanguageDir(root.File("opt/moved/bin"), QStringLiteral("../share/lumora")),
              QDir::cleanPath(root.File("opt/moved/share/lumora/Language")));
    EXPECT_TRUE(
        InstalledLanguageDir(root.File("usr/bin"), QStringLiteral("../share/lumora")).isEmpty());
    // A build folder or a portable copy has no installed data root.
    root.Write("build/bin/Lumora", "");
    root.Write("build/bin/Language/zh_CN/Language.xml", "<x/>");
    EXPECT_TRUE(
        InstalledLanguageDir(root.File("build/bin"), QStringLiteral("../share/lumora")).isEmpty());
#ifndef _WIN32
    // The layout this build installs is that one.
    EXPECT_EQ(InstalledLanguageDir(root.File("opt/moved/bin")),
              QDir::cleanPath(root.File("opt/moved/share/lumora/Language")));
#endif
}

TEST(SeedLanguages, InstalledFilesFirstBuiltInCopiesForTheRestExistingFilesKept) {
    DataDir installed;
    installed.Write("zh_CN/Language.xml", "<installed/>");
    installed.Write("fr_FR/Language.xml", "<fr/>");
    // Installed files are read-only; the teacher's copies must not be.
    for (const char *name : {"zh_CN/Language.xml", "fr_FR/Language.xml"}) {
        QFile::setPermissions(installed.File(name), QFile::ReadOwner | QFile::ReadGroup);
    }
    DataDir data;
    QString error;
    ASSERT_TRUE(SeedLanguages(data.Path(), &error, installed.Path())) << error.toStdString();
    EXPECT_EQ(data.Read("Language/zh_CN/Language.xml"), "<installed/>");
    EXPECT_EQ(data.Read("Language/fr_FR/Language.xml"), "<fr/>");
    const QByteArray english = SourceLanguage("en_US");
    ASSERT_FALSE(english.isEmpty());
    EXPECT_EQ(data.Read("Language/en_US/Language.xml"), english);
    for (const char *name : {"zh_CN", "fr_FR", "en_US"}) {
        EXPECT_TRUE(QFileInfo(data.File(QStringLiteral("Language/%1/Language.xml").arg(name)))
                        .permissions()
                        .testFlag(QFile::WriteOwner))
            << name;
    }

    // A second start keeps what the teacher changed.
    data.Write("Language/zh_CN/Language.xml", "<edited/>");
    ASSERT_TRUE(SeedLanguages(data.Path(), &error, installed.Path()));
    EXPECT_EQ(data.Read("Language/zh_CN/Language.xml"), "<edited/>");
}

TEST(SeedLanguages, WithoutAnInstalledFolderTheBuiltInCopiesAreSeeded) {
    DataDir data;
    QString error;
    ASSERT_TRUE(SeedLanguages(data.Path(), &error)) << error.toStdString();
    for (const char *name : {"zh_CN", "en_US"}) {
        EXPECT_EQ(data.Read(QStringLiteral("Language/%1/Language.xml").arg(name)),
                  SourceLanguage(name))
            << name;
    }
    EXPECT_EQ(QDir(data.File("Language")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{"en_US", "zh_CN"}));
}

TEST(SeedLanguages, AFailedCopyIsReportedWithTheFile) {
    DataDir data;
    data.Write("Language", "a file where the folder belongs");
    QString error;
    EXPECT_FALSE(SeedLanguages(data.Path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Language.xml"))) << error.toStdString();
}

} // namespace
} // namespace lumora
