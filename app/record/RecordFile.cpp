#include "record/RecordFile.h"

#include "platform/NativePath.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <filesystem>
#include <system_error>

namespace lumora {

namespace {

void (*gSetAsideStepHook)() = nullptr;

QString Native(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// Renames the database and its WAL and shared-memory files to a free name
// beside it; SQLite finds a WAL by the database's name, so the pair stays
// together. Returns the new name of the database, or empty with *error.
QString SetAside(const QString &path, QString *error) {
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString target;
    for (int n = 1;; ++n) {
        const QString suffix = n == 1 ? QString() : QStringLiteral("-%1").arg(n);
        target = info.dir().filePath(QStringLiteral("lessons.unusable-%1%2.db").arg(stamp, suffix));
        if (!QFileInfo::exists(target) && !QFileInfo::exists(target + QStringLiteral("-wal"))) {
            break;
        }
    }
    // The database and its WAL travel together whatever moment a crash
    // takes: the database first gets its second name (a hard link), then the
    // WAL and shared memory move, and only then does the old name go. A
    // crash in between leaves a whole pair under one of the names.
    std::error_code code;
    const bool linked =
        info.isFile() &&
        (std::filesystem::create_hard_link(FileSystemPath(path), FileSystemPath(target), code),
         !code);
    if (!linked && !info.isFile()) {
        // A folder in the database's place has no WAL.
        if (!QDir().rename(path, target)) {
            *error = QStringLiteral("%1 could not be renamed").arg(Native(path));
            return QString();
        }
        return target;
    }
    for (const char *extra : {"-wal", "-shm"}) {
        const QString side = path + QLatin1String(extra);
        if (QFileInfo::exists(side) && !QFile::rename(side, target + QLatin1String(extra))) {
            *error = QStringLiteral("%1 could not be moved").arg(Native(side));
            return QString();
        }
        if (gSetAsideStepHook != nullptr) {
            gSetAsideStepHook();
        }
    }
    // Without hard links (some removable media) the database moves last.
    const bool moved = linked ? QFile::remove(path) : QFile::rename(path, target);
    if (!moved) {
        *error = QStringLiteral("%1 could not be renamed").arg(Native(path));
        return QString();
    }
    return target;
}

// A write that proves the file takes writes (a read-only file opens fine).
bool ProbeWrite(RecordConnection &connection, QString *error) {
    QSqlQuery query(connection.Database());
    const bool ok =
        query.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
        query.exec(QStringLiteral("PRAGMA user_version = %1").arg(RecordSchemaVersion())) &&
        query.exec(QStringLiteral("COMMIT"));
    if (!ok) {
        connection.Failed(query.lastError(), error);
        query.exec(QStringLiteral("ROLLBACK"));
    }
    return ok;
}

// A file that failed as corrupt during a run is checked whole at the next start.
QString CheckMarkPath(const QString &databasePath) {
    return databasePath + QStringLiteral(".check");
}

bool PassesCheck(QSqlDatabase &db, QString *error) {
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("PRAGMA quick_check(1)")) && query.next() &&
        query.value(0).toString() == QLatin1String("ok")) {
        return true;
    }
    *error = query.lastError().isValid()
                 ? query.lastError().text()
                 : QStringLiteral("damaged: %1").arg(query.value(0).toString());
    return false;
}

} // namespace

RecordFile::RecordFile(const QString &dataDir, RecordConnection &connection)
    : dataDir_(dataDir), connection_(connection) {}

bool RecordFile::OpenFile(const QString &path, const PrepareStep &prepare, QString *error) {
    if (!connection_.Open(path, true, error) || !ProbeWrite(connection_, error)) {
        return false;
    }
    const QString mark = CheckMarkPath(path);
    if (QFileInfo::exists(mark)) {
        if (!PassesCheck(connection_.Database(), error)) {
            return false;
        }
        QFile::remove(mark);
    }
    return prepare(error);
}

std::optional<RecordProblem> RecordFile::Open(const PrepareStep &prepare, const CloseStep &close) {
    const QString folder = RecordsFolder(dataDir_);
    if (!QDir().mkpath(folder)) {
        return RecordProblem{
            RecordProblem::Kind::Unavailable,
            QStringLiteral("%1 (the folder cannot be created)").arg(Native(folder))};
    }
    const QString path = RecordDatabasePath(dataDir_);
    QString error;
    if (OpenFile(path, prepare, &error)) {
        return std::nullopt;
    }
    const bool busy = connection_.Busy();
    const bool notTheFile = connection_.NotTheFilesFault();
    const bool sound = connection_.FileIsSound();
    close();
    if (busy) {
        // Another run of the program holds the file: it is not set aside.
        return RecordProblem{
            RecordProblem::Kind::Unavailable,
            QStringLiteral("%1 (in use by another program: %2)").arg(Native(path), error)};
    }
    if (notTheFile) {
        // A full disk or a failing device says nothing against the file.
        return RecordProblem{RecordProblem::Kind::Unavailable,
                             QStringLiteral("%1 (%2)").arg(Native(path), error)};
    }
    if (sound) {
        // A newer version's record, or one this user may not write: whole and
        // of use elsewhere, so it stays where it is and nothing is recorded.
        return RecordProblem{RecordProblem::Kind::Unavailable,
                             QStringLiteral("%1 (%2)").arg(Native(path), error)};
    }
    if (!QFileInfo::exists(path)) {
        // Not even a new file could be made: the folder takes no writes.
        return RecordProblem{RecordProblem::Kind::Unavailable,
                             QStringLiteral("%1 (%2)").arg(Native(folder), error)};
    }
    QString asideError;
    const QString aside = SetAside(path, &asideError);
    if (aside.isEmpty()) {
        return RecordProblem{RecordProblem::Kind::Unavailable,
                             QStringLiteral("%1 (%2; %3)").arg(Native(path), error, asideError)};
    }
    QFile::remove(CheckMarkPath(path));
    QString freshError;
    if (OpenFile(path, prepare, &freshError)) {
        return RecordProblem{RecordProblem::Kind::SetAside,
                             QStringLiteral("%1\n(%2)").arg(Native(aside), error)};
    }
    close();
    return RecordProblem{RecordProblem::Kind::Unavailable,
                         QStringLiteral("%1 (%2)").arg(Native(folder), freshError)};
}

void SetAsideStepHookForTesting(void (*hook)()) {
    gSetAsideStepHook = hook;
}

bool RecordFile::Abandon() {
    if (!connection_.Corrupt()) {
        return false;
    }
    // Checked whole (and set aside) at the next start.
    QFile mark(CheckMarkPath(RecordDatabasePath(dataDir_)));
    if (mark.open(QIODevice::WriteOnly)) {
        mark.close();
    }
    return true;
}

} // namespace lumora
