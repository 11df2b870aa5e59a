#include "DataDir.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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

} // namespace

QString ResolveDataDir(const QString &overrideDir, const QString &exeDir, const QString &userDir,
                       QString *error) {
    if (!overrideDir.isEmpty()) {
        return Prepared(overrideDir, error);
    }
    if (QFileInfo(QDir(exeDir).filePath(QStringLiteral("Language"))).isDir() &&
        IsWritableDir(exeDir)) {
        return QDir(exeDir).absolutePath();
    }
    return Prepared(userDir, error);
}

bool SeedLanguages(const QString &dataDir, QString *error) {
    InitLanguageResources();
    const QString shipped = QStringLiteral(":/Language");
    QDirIterator files(shipped, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString relative = source.mid(2); // "Language/zh_CN/Language.xml"
        const QString target = QDir(dataDir).filePath(relative);
        if (QFileInfo::exists(target)) {
            continue;
        }
        if (!QDir().mkpath(QFileInfo(target).absolutePath()) || !QFile::copy(source, target)) {
            if (error != nullptr) {
                *error = QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(target));
            }
            return false;
        }
        // Resource copies are read-only; the teacher may edit the texts.
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return true;
}

} // namespace lumora
