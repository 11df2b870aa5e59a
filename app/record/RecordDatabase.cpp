#include "record/RecordDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <atomic>
#include <vector>

namespace lumora {

namespace {

// Migration i takes a database from user_version i to i + 1; version 0 is
// the empty database. Append steps, never change one that shipped.
const std::vector<std::vector<const char *>> kMigrations = {
    {
        // One run of the program.
        "CREATE TABLE lesson ("
        " number INTEGER PRIMARY KEY,"
        " started_at TEXT NOT NULL,"
        " ended_at TEXT,"
        " folder TEXT NOT NULL)",
        // One question of a lesson, numbered from 1 in the lesson.
        // type: 0 single choice, 1 multiple choice, 2 subjective.
        "CREATE TABLE question ("
        " id INTEGER PRIMARY KEY,"
        " lesson INTEGER NOT NULL REFERENCES lesson(number) ON DELETE CASCADE,"
        " number INTEGER NOT NULL,"
        " type INTEGER NOT NULL CHECK (type BETWEEN 0 AND 2),"
        " answer_key TEXT NOT NULL,"
        " started_at TEXT NOT NULL,"
        " ended_at TEXT,"
        " UNIQUE (lesson, number))",
        // A named roster entry during a question. seat is the 1-based entry
        // number; answer is the final answer mask, correct is null for a
        // subjective question.
        "CREATE TABLE student ("
        " id INTEGER PRIMARY KEY,"
        " question INTEGER NOT NULL REFERENCES question(id) ON DELETE CASCADE,"
        " seat INTEGER NOT NULL,"
        " name TEXT NOT NULL,"
        " card_id INTEGER NOT NULL,"
        " pane_name TEXT NOT NULL,"
        " pane_id INTEGER NOT NULL,"
        " answer INTEGER NOT NULL DEFAULT 0,"
        " letters TEXT NOT NULL DEFAULT '',"
        " correct INTEGER,"
        " UNIQUE (question, seat))",
        // Every key press in order; ms since the question started, answer
        // the mask after the press.
        "CREATE TABLE press ("
        " id INTEGER PRIMARY KEY,"
        " student INTEGER NOT NULL REFERENCES student(id) ON DELETE CASCADE,"
        " key INTEGER NOT NULL,"
        " ms INTEGER NOT NULL,"
        " answer INTEGER NOT NULL)",
        "CREATE INDEX press_student ON press(student)",
        // Pen strokes: the points in order, packed as PenStroke.h says;
        // up_ms is the pen-up that ended the stroke, null when the stroke goes
        // on in the next row (rows are cut at every commit).
        "CREATE TABLE pen_stroke ("
        " id INTEGER PRIMARY KEY,"
        " student INTEGER NOT NULL REFERENCES student(id) ON DELETE CASCADE,"
        " points BLOB NOT NULL,"
        " up_ms INTEGER)",
        "CREATE INDEX pen_stroke_student ON pen_stroke(student)",
        // The ink picture of a student at the end of a question; path
        // relative to the Records folder.
        "CREATE TABLE picture ("
        " student INTEGER PRIMARY KEY REFERENCES student(id) ON DELETE CASCADE,"
        " path TEXT NOT NULL)",
        // Tablets heard that no roster entry holds.
        "CREATE TABLE unknown_tablet ("
        " lesson INTEGER NOT NULL REFERENCES lesson(number) ON DELETE CASCADE,"
        " tablet_id INTEGER NOT NULL,"
        " first_heard TEXT NOT NULL,"
        " last_heard TEXT NOT NULL,"
        " events INTEGER NOT NULL,"
        " PRIMARY KEY (lesson, tablet_id))",
    },
    {
        // The letters a student's answer held from before the question
        // started that no press during it touched; they never count as
        // correct.
        "ALTER TABLE student ADD COLUMN carried INTEGER NOT NULL DEFAULT 0",
        // A question run from a question set: the set's name, the question's
        // number there (from 1), its text and points; null for a question
        // set up by hand. The time limit it ran with and how long it ran.
        "ALTER TABLE question ADD COLUMN set_name TEXT",
        "ALTER TABLE question ADD COLUMN set_number INTEGER",
        "ALTER TABLE question ADD COLUMN text TEXT",
        "ALTER TABLE question ADD COLUMN points REAL",
        "ALTER TABLE question ADD COLUMN time_limit_ms INTEGER",
        "ALTER TABLE question ADD COLUMN duration_ms INTEGER",
        // A student picked at random; question is the one under way then.
        // among: 0 the present students, 1 those who answered, 2 those who
        // answered wrongly.
        "CREATE TABLE pick ("
        " id INTEGER PRIMARY KEY,"
        " lesson INTEGER NOT NULL REFERENCES lesson(number) ON DELETE CASCADE,"
        " question INTEGER REFERENCES question(id) ON DELETE SET NULL,"
        " seat INTEGER NOT NULL,"
        " name TEXT NOT NULL,"
        " among INTEGER NOT NULL CHECK (among BETWEEN 0 AND 2),"
        " picked_at TEXT NOT NULL)",
    },
    {
        // The teacher's grade of a handwritten answer in points; null until
        // graded.
        "ALTER TABLE student ADD COLUMN grade REAL",
        // A student's tablet heard during the lesson, first and last (steady
        // until a question starts or ends, when the record takes it).
        "CREATE TABLE attendance ("
        " lesson INTEGER NOT NULL REFERENCES lesson(number) ON DELETE CASCADE,"
        " seat INTEGER NOT NULL,"
        " name TEXT NOT NULL,"
        " first_heard TEXT NOT NULL,"
        " last_heard TEXT NOT NULL,"
        " PRIMARY KEY (lesson, seat, name))",
    },
    {
        // The class the lesson was held with: class_file its file name under
        // Classes/ (steady when the class is renamed), class_name its name
        // then; both null for the unnamed class and for lessons from before
        // classes were kept. A lesson holds one class: switching class starts
        // the next lesson.
        "ALTER TABLE lesson ADD COLUMN class_file TEXT",
        "ALTER TABLE lesson ADD COLUMN class_name TEXT",
        // The teacher's title of the lesson; null for none.
        "ALTER TABLE lesson ADD COLUMN title TEXT",
        // When the teacher put the lesson in the bin; null while it is not.
        // Emptying the bin removes the lesson and its pictures.
        "ALTER TABLE lesson ADD COLUMN deleted_at TEXT",
        "CREATE INDEX lesson_class ON lesson(class_file, started_at)",
    },
};

std::atomic<int> g_connectionNumber{0};

QString Describe(const QSqlError &error) {
    const QString text = error.text().trimmed();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

} // namespace

int RecordSchemaVersion() {
    return static_cast<int>(kMigrations.size());
}

QString RecordsFolder(const QString &dataDir) {
    return QDir(dataDir).filePath(QStringLiteral("Records"));
}

QString RecordDatabasePath(const QString &dataDir) {
    return QDir(RecordsFolder(dataDir)).filePath(QStringLiteral("lessons.db"));
}

RecordConnection::RecordConnection()
    : name_(QStringLiteral("lumora-record-%1").arg(g_connectionNumber.fetch_add(1))) {}

RecordConnection::~RecordConnection() {
    Close();
}

void RecordConnection::Close() {
    if (!db_.isValid()) {
        return;
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(name_);
}

bool RecordConnection::Open(const QString &path, bool create, QString *error) {
    Close();
    failureCode_ = 0;
    newerSchema_ = false;
    notPermitted_ = false;
    const QFileInfo info(path);
    if (!create && !info.exists()) {
        *error = QStringLiteral("%1 does not exist").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (info.exists() && !info.isFile()) {
        *error = QStringLiteral("%1 is not a file").arg(QDir::toNativeSeparators(path));
        return false;
    }
    // SQLite would open a file of any content and drop a WAL beside it when
    // it closes; a file that is plainly no database is never handed to it.
    if (info.exists() && info.size() > 0) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            notPermitted_ = file.error() == QFileDevice::OpenError;
            *error =
                QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString());
            return false;
        }
        if (file.read(16) != QByteArray("SQLite format 3", 16)) {
            *error =
                QStringLiteral("%1 is not a SQLite database").arg(QDir::toNativeSeparators(path));
            return false;
        }
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
    if (!db_.isValid()) {
        *error = QStringLiteral("the SQLite driver of Qt SQL is not installed");
        Close();
        return false;
    }
    db_.setDatabaseName(path);
    // Another program reading the file may hold a lock for a moment.
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=2000"));
    if (!db_.open()) {
        Failed(db_.lastError(), error);
        Close();
        return false;
    }
    if (!Configure(error) || !Migrate(error)) {
        Close();
        return false;
    }
    return true;
}

bool RecordConnection::OpenReadOnly(const QString &path, QString *error) {
    Close();
    failureCode_ = 0;
    newerSchema_ = false;
    notPermitted_ = false;
    if (!QFileInfo(path).isFile()) {
        *error = QStringLiteral("%1 is not a file").arg(QDir::toNativeSeparators(path));
        return false;
    }
    const QString uri =
        QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString(QUrl::FullyEncoded);
    for (const char *mode : {"mode=ro", "immutable=1"}) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        if (!db_.isValid()) {
            *error = QStringLiteral("the SQLite driver of Qt SQL is not installed");
            Close();
            return false;
        }
        db_.setDatabaseName(uri + u'?' + QLatin1String(mode));
        db_.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=2000"));
        if (db_.open()) {
            QSqlQuery query(db_);
            if (query.exec(QStringLiteral("SELECT COUNT(*) FROM sqlite_master")) && query.next()) {
                return true;
            }
            Failed(query.lastError(), error);
        } else {
            Failed(db_.lastError(), error);
        }
        Close();
    }
    return false;
}

bool RecordConnection::Configure(QString *error) {
    QSqlQuery query(db_);
    // Reading the version first tells a file that is not a database.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return Failed(query.lastError(), error);
    }
    // WAL lets readers (history, export) work while the writer commits; with
    // full sync a commit survives a power cut.
    const char *pragmas[] = {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL",
                             "PRAGMA foreign_keys=ON"};
    for (const char *pragma : pragmas) {
        if (!query.exec(QString::fromLatin1(pragma))) {
            return Failed(query.lastError(), error);
        }
    }
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys")) || !query.next() ||
        query.value(0).toInt() != 1) {
        *error = QStringLiteral("the database refuses foreign keys");
        return false;
    }
    return true;
}

bool RecordConnection::Migrate(QString *error) {
    QSqlQuery query(db_);
    // A file at the current version needs no write lock: readers (the
    // history on the window's thread) never wait for the writer's commit.
    if (query.exec(QStringLiteral("PRAGMA user_version")) && query.next() &&
        query.value(0).toInt() == RecordSchemaVersion()) {
        return true;
    }
    query.finish();
    // One immediate transaction: a second connection migrating at the same
    // moment waits and then finds the work done.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        return Failed(query.lastError(), error);
    }
    bool ok = query.exec(QStringLiteral("PRAGMA user_version")) && query.next();
    const int version = ok ? query.value(0).toInt() : 0;
    query.finish();
    if (ok && version > RecordSchemaVersion()) {
        query.exec(QStringLiteral("ROLLBACK"));
        newerSchema_ = true;
        *error = QStringLiteral("written by a newer version of the program (schema %1, this "
                                "program knows %2)")
                     .arg(version)
                     .arg(RecordSchemaVersion());
        return false;
    }
    for (int step = version; ok && step < RecordSchemaVersion(); ++step) {
        for (const char *statement : kMigrations[static_cast<size_t>(step)]) {
            if (!query.exec(QString::fromLatin1(statement))) {
                ok = false;
                break;
            }
        }
    }
    // The version is part of the same transaction: the steps are all or nothing.
    ok = ok && (version == RecordSchemaVersion() ||
                query.exec(QStringLiteral("PRAGMA user_version = %1").arg(RecordSchemaVersion())));
    if (!ok) {
        Failed(query.lastError(), error);
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    if (!query.exec(QStringLiteral("COMMIT"))) {
        Failed(query.lastError(), error);
        query.exec(QStringLiteral("ROLLBACK"));
        return false;
    }
    return true;
}

bool RecordConnection::Failed(const QSqlError &sqlError, QString *error) {
    failureCode_ = sqlError.nativeErrorCode().toInt();
    *error = Describe(sqlError);
    return false;
}

bool RecordConnection::Corrupt() const {
    // SQLITE_CORRUPT and SQLITE_NOTADB.
    return (failureCode_ & 0xFF) == 11 || (failureCode_ & 0xFF) == 26;
}

bool RecordConnection::NotTheFilesFault() const {
    // SQLITE_NOMEM, SQLITE_IOERR, SQLITE_FULL.
    const int code = failureCode_ & 0xFF;
    return Busy() || code == 7 || code == 10 || code == 13;
}

bool RecordConnection::FileIsSound() const {
    // SQLITE_PERM, SQLITE_READONLY, SQLITE_AUTH.
    const int code = failureCode_ & 0xFF;
    return newerSchema_ || notPermitted_ || code == 3 || code == 8 || code == 23;
}

bool RecordConnection::Busy() const {
    // SQLITE_BUSY, SQLITE_LOCKED and their extended codes.
    return (failureCode_ & 0xFF) == 5 || (failureCode_ & 0xFF) == 6;
}

} // namespace lumora
