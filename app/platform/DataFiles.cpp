#include "platform/DataFiles.h"

#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumora {

bool KeepAside(const QString &path, QString *keptAs, QString *error, const QDateTime &now) {
    const QFileInfo info(path);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    const QString base =
        info.dir().filePath(info.completeBaseName() + QStringLiteral("-kept-") + stamp);
    QString target = base + suffix;
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n) {
        target = base + u'-' + QString::number(n) + suffix;
    }
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

} // namespace lumora
