#include "platform/DataFiles.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumora {

namespace {

bool Fail(QString *error, const QString &reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

} // namespace

namespace {

// A free name beside path for a file kept aside at now.
QString KeptName(const QString &path, const QDateTime &now) {
    const QFileInfo info(path);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral("-kept-") + stamp);
    QString target = base + suffix;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
        target = base + u'-' + QString::number(n) + suffix;
    }
    return target;
}

} // namespace

bool CopyAside(const QString &path, QString *keptAs, QString *error, const QDateTime &now) {
    QFile source(path);
    QByteArray bytes;
    if (!source.open(QIODevice::ReadOnly)) {
        return Fail(error, source.errorString());
    }
    bytes = source.readAll();
    if (source.error() != QFileDevice::NoError) {
        return Fail(error, source.errorString());
    }
    const QString target = KeptName(path, now);
    if (!WriteFileAtomically(target, bytes, error)) {
        return false;
    }
    if (keptAs != nullptr) {
        *keptAs = target;
    }
    return true;
}

bool KeepAside(const QString &path, QString *keptAs, QString *error, const QDateTime &now) {
    const QFileInfo info(path);
    const QString target = KeptName(path, now);
    bool moved = false;
    QString reason;
    if (info.isDir()) {
        moved = QDir().rename(path, target);
        reason = QStringLiteral("the folder could not be renamed");
    } else {
        QFile file(path);
        moved = file.rename(target);
        reason = file.errorString();
    }
    if (!moved) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    }
    if (keptAs != nullptr) {
        *keptAs = target;
    }
    return true;
}

QStringList RemoveUnfinishedSaves(const QString &dataDir) {
    QStringList removed;
    const QDir dir(dataDir);
    const QStringList names =
        dir.entryList({u'*' + kUnfinishedSaveSuffix.toString()}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (QFile::remove(dir.filePath(name))) {
            removed.append(name);
        }
    }
    return removed;
}

namespace {

// The absolute path with every link resolved, also for a file not yet there.
QString ResolvedPath(const QString &path) {
    const QFileInfo info(path);
    if (info.exists()) {
        return info.canonicalFilePath();
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                            : QDir(folder).filePath(info.fileName());
}

} // namespace

bool BelongsToDataFolder(const QString &dataDir, const QString &path) {
    const QString root = ResolvedPath(dataDir);
    const QString target = ResolvedPath(path);
    if (root.isEmpty() || target.isEmpty()) {
        return false;
    }
    if (target == root) {
        return true;
    }
    if (!target.startsWith(root + u'/')) {
        return false;
    }
    const QString first = target.mid(root.size() + 1).section(u'/', 0, 0);
    static const QStringList owned = {
        QStringLiteral("Config.ini"), QStringLiteral("StudentInfo.ini"),
        QStringLiteral("Language"),   QStringLiteral("Classes"),
        QStringLiteral("Records"),    kDataFolderLockName.toString(),
    };
    return owned.contains(first, Qt::CaseInsensitive) || first.contains(QStringLiteral("-kept-")) ||
           first.endsWith(kUnfinishedSaveSuffix, Qt::CaseInsensitive);
}

} // namespace lumora
