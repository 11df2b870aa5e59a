#include "platform/DataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

// Resources of a static library are registered by hand, outside any namespace.
static void InitLanguageResources() {
    Q_INIT_RESOURCE(languages);
}

namespace lumora {

namespace {

bool IsWritableDir(const QString &dir) {
    const QFileInfo info(dir);
    return info.isDir() && info.isWritable();
}

QString Prepared(const QString &dir, QString *error) {
    if (!QDir().mkpath(dir) || !IsWritableDir(dir)) {
        if (error != nullptr) {
            *error =
                QStringLiteral("Cannot use the data folder %1").arg(QDir::toNativeSeparators(dir));
        }
        return QString();
    }
    return QDir(dir).absolutePath();
}

// Copies every file under sourceRoot to the same place under targetRoot
// unless a file is already there.
bool CopyMissing(const QString &sourceRoot, const QString &targetRoot, QString *error) {
    QDirIterator files(sourceRoot, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = QDir(targetRoot).filePath(QDir(sourceRoot).relativeFilePath(source));
        if (QFileInfo::exists(target)) {
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target)) {
            if (error != nullptr) {
                *error = QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(target));
            }
            return false;
        }
        // Resource and installed copies are read-only; the teacher may edit the texts.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

bool IsPortableInstall(const QString &exeDir) {
    return QFileInfo(QDir(exeDir).filePath(QStringLiteral("Language"))).isDir() &&
           IsWritableDir(exeDir);
}

} // namespace

QString UserDataDir() {
#ifdef Q_OS_WIN
    const QString roaming = qEnvironmentVariable("APPDATA");
    if (!roaming.isEmpty()) {
        return QDir(QDir::fromNativeSeparators(roaming))
            .filePath(QCoreApplication::applicationName());
    }
#endif
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString ResolveDataDir(const QString &overrideDir, const QString &exeDir, const QString &userDir,
                       QString *error) {
    if (!overrideDir.isEmpty()) {
        return Prepared(overrideDir, error);
    }
    if (IsPortableInstall(exeDir)) {
        return QDir(exeDir).absolutePath();
    }
    return Prepared(userDir, error);
}

QString ChooseDataDir(const QString &overrideDir, const QString &exeDir, const QString &userDir) {
    if (overrideDir.isEmpty() && IsPortableInstall(exeDir)) {
        return QDir(exeDir).absolutePath();
    }
    return QDir(overrideDir.isEmpty() ? userDir : overrideDir).absolutePath();
}

QString InstalledLanguageDir(const QString &exeDir, const QString &relativeDataRoot) {
    const QString dir = QDir::cleanPath(
        QDir(exeDir).absoluteFilePath(relativeDataRoot + QStringLiteral("/Language")));
    return QFileInfo(dir).isDir() ? dir : QString();
}

QString InstalledLanguageDir(const QString &exeDir) {
    return InstalledLanguageDir(exeDir, QStringLiteral(LUMORA_DATA_ROOT));
}

bool SeedLanguages(const QString &dataDir, QString *error, const QString &installedDir) {
    InitLanguageResources();
    // The installed folder first: a packager may ship more or newer languages
    // than the program was built with.
    QStringList sources;
    if (!installedDir.isEmpty()) {
        sources << installedDir;
    }
    sources << QStringLiteral(":/Language");
    for (const QString &root : sources) {
        if (!CopyMissing(root, QDir(dataDir).filePath(QStringLiteral("Language")), error)) {
            return false;
        }
    }
    return true;
}

QString BuiltInLanguageFile(const QString &languageName) {
    InitLanguageResources();
    const QString file = QStringLiteral(":/Language/%1/Language.xml").arg(languageName);
    return !languageName.isEmpty() && QFileInfo(file).isFile() ? file : QString();
}

} // namespace lumora
